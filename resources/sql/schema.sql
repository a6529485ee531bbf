-- KOVA database schema, native SQLite. Applied once to a new database file.
--
-- Declared types are read back by the data layer (sqlite3_column_decltype) to know each field's
-- kind and size: keep them as written. Every text column declares the Unicode case-insensitive
-- collation, so comparisons, LIKE, ORDER BY and indexes ignore letter case as users expect.
-- Keys are AUTOINCREMENT so that an ID is never reused after a delete.

-- ---- Register -------------------------------------------------------------------------------

CREATE TABLE fichas (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Codigo             TEXT(6) COLLATE UNICODE_NOCASE,
    Endereco           TEXT(50) COLLATE UNICODE_NOCASE,
    Numero             TEXT(10) COLLATE UNICODE_NOCASE,
    Complemento        TEXT(20) COLLATE UNICODE_NOCASE,
    Bairro             TEXT(25) COLLATE UNICODE_NOCASE,
    Telefone           TEXT(20) COLLATE UNICODE_NOCASE,
    IDTipoMoradia      INTEGER,
    TempoResidencia    SMALLINT,
    ValorAluguel       CURRENCY,
    Agua               BOOLEAN DEFAULT 0,
    Esgoto             BOOLEAN DEFAULT 0,
    IDTipoBanheiro     INTEGER,
    Comodos            SMALLINT,
    Eletricidade       BOOLEAN DEFAULT 0,
    IDTipoEstadoImovel INTEGER,
    Observacoes        LONGTEXT COLLATE UNICODE_NOCASE,
    Conclusao          LONGTEXT COLLATE UNICODE_NOCASE,
    STATUS             SMALLINT DEFAULT 1
);
CREATE INDEX fichas_Codigo ON fichas (Codigo);
CREATE INDEX fichas_Endereco ON fichas (Endereco);
CREATE INDEX fichas_IDTipoMoradia ON fichas (IDTipoMoradia);
CREATE INDEX fichas_IDTipoBanheiro ON fichas (IDTipoBanheiro);
CREATE INDEX fichas_IDTipoEstadoImovel ON fichas (IDTipoEstadoImovel);

CREATE TABLE moradores (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    IDFicha            INTEGER,
    IDTipoMorador      INTEGER,
    Nome               TEXT(50) COLLATE UNICODE_NOCASE,
    Nascimento         DATE,
    IDTipoEstadoCivil  SMALLINT,
    Naturalidade       TEXT(25) COLLATE UNICODE_NOCASE,
    UF                 TEXT(2) COLLATE UNICODE_NOCASE,
    Telefone           TEXT(20) COLLATE UNICODE_NOCASE,
    Profissao          TEXT(50) COLLATE UNICODE_NOCASE,
    LocalTrabalho      TEXT(50) COLLATE UNICODE_NOCASE,
    TelefoneTrabalho   TEXT(20) COLLATE UNICODE_NOCASE,
    CPF                TEXT(14) COLLATE UNICODE_NOCASE,
    RG                 TEXT(20) COLLATE UNICODE_NOCASE,
    Titulo             TEXT(20) COLLATE UNICODE_NOCASE,
    Zona               TEXT(10) COLLATE UNICODE_NOCASE,
    Secao              TEXT(10) COLLATE UNICODE_NOCASE,
    Obs                LONGTEXT COLLATE UNICODE_NOCASE,
    STATUS             SMALLINT DEFAULT 1
);
-- (IDFicha, IDTipoMorador) rather than IDFicha alone: the head-of-family lookups filter on both,
-- and without statistics the planner could otherwise pick the far less selective IDTipoMorador index.
CREATE INDEX moradores_IDFicha ON moradores (IDFicha, IDTipoMorador);
CREATE INDEX moradores_IDTipoMorador ON moradores (IDTipoMorador);
CREATE INDEX moradores_IDTipoEstadoCivil ON moradores (IDTipoEstadoCivil);
CREATE INDEX moradores_Nome ON moradores (Nome);
CREATE INDEX moradores_CPF ON moradores (CPF);

CREATE TABLE rendas (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    IDMorador          INTEGER,
    IDTipoRenda        INTEGER,
    OBS                TEXT(50) COLLATE UNICODE_NOCASE,
    Valor              CURRENCY
);
CREATE INDEX rendas_IDMorador ON rendas (IDMorador);
CREATE INDEX rendas_IDTipoRenda ON rendas (IDTipoRenda);

CREATE TABLE doacoes (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Data               DATE,
    IDResponsavel      INTEGER,
    IDTipoDoacao       INTEGER,
    IDMorador          INTEGER,
    Descricao          TEXT(50) COLLATE UNICODE_NOCASE,
    Valor              CURRENCY,
    Parecer            LONGTEXT COLLATE UNICODE_NOCASE,
    IDAtendimento      INTEGER
);
CREATE INDEX doacoes_Data ON doacoes (Data);
CREATE INDEX doacoes_IDResponsavel ON doacoes (IDResponsavel);
CREATE INDEX doacoes_IDTipoDoacao ON doacoes (IDTipoDoacao);
CREATE INDEX doacoes_IDMorador ON doacoes (IDMorador);
CREATE INDEX doacoes_IDAtendimento ON doacoes (IDAtendimento);

CREATE TABLE doacoes_morador (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    IDMorador          INTEGER,
    IDTipoDoacao       INTEGER
);
CREATE INDEX doacoes_morador_IDMorador ON doacoes_morador (IDMorador);
CREATE INDEX doacoes_morador_IDTipoDoacao ON doacoes_morador (IDTipoDoacao);

CREATE TABLE responsaveis (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Nome               TEXT(50) COLLATE UNICODE_NOCASE,
    Cidade             TEXT(50) COLLATE UNICODE_NOCASE,
    Endereco           TEXT(50) COLLATE UNICODE_NOCASE,
    Numero             TEXT(10) COLLATE UNICODE_NOCASE,
    Complemento        TEXT(20) COLLATE UNICODE_NOCASE,
    Bairro             TEXT(25) COLLATE UNICODE_NOCASE,
    Telefone           TEXT(20) COLLATE UNICODE_NOCASE,
    Celular            TEXT(20) COLLATE UNICODE_NOCASE,
    IDTipoProfissional INTEGER,
    UF                 TEXT(2) COLLATE UNICODE_NOCASE,
    Email              TEXT(100) COLLATE UNICODE_NOCASE,
    Conselho           TEXT(30) COLLATE UNICODE_NOCASE,
    Status             INTEGER DEFAULT 1
);
CREATE INDEX responsaveis_Nome ON responsaveis (Nome);
CREATE INDEX responsaveis_IDTipoProfissional ON responsaveis (IDTipoProfissional);

CREATE TABLE atendimentos (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Protocolo          TEXT(20) COLLATE UNICODE_NOCASE,
    Data               DATE,
    IDMorador          INTEGER,
    IDResponsavel      INTEGER,
    Obs                LONGTEXT COLLATE UNICODE_NOCASE,
    Conclusao          LONGTEXT COLLATE UNICODE_NOCASE,
    Status             INTEGER DEFAULT 1
);
CREATE INDEX atendimentos_Data ON atendimentos (Data);
CREATE INDEX atendimentos_IDMorador ON atendimentos (IDMorador);
CREATE INDEX atendimentos_IDResponsavel ON atendimentos (IDResponsavel);

-- ---- Lookup tables ----------------------------------------------------------------------------
-- tipomorador and tipoestadocivil are 20 wide, as the resident views show them.

CREATE TABLE tipomorador (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Descricao          TEXT(20) COLLATE UNICODE_NOCASE
);
CREATE TABLE tipoestadocivil (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Descricao          TEXT(20) COLLATE UNICODE_NOCASE
);
CREATE TABLE tipomoradia (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Descricao          TEXT(50) COLLATE UNICODE_NOCASE
);
CREATE TABLE tipobanheiro (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Descricao          TEXT(50) COLLATE UNICODE_NOCASE
);
CREATE TABLE tipoestadoimovel (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Descricao          TEXT(50) COLLATE UNICODE_NOCASE
);
CREATE TABLE tipodoacao (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Descricao          TEXT(50) COLLATE UNICODE_NOCASE
);
CREATE TABLE tipoprofissional (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Descricao          TEXT(50) COLLATE UNICODE_NOCASE
);
CREATE TABLE tiporenda (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Descricao          TEXT(50) COLLATE UNICODE_NOCASE,
    SomaPercapita      BOOLEAN DEFAULT 0
);

-- ---- Users, permissions, access log, settings -------------------------------------------------

CREATE TABLE usuarios (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Nome               TEXT(20) COLLATE UNICODE_NOCASE,
    Senha              TEXT(20) COLLATE UNICODE_NOCASE
);
CREATE INDEX usuarios_Nome ON usuarios (Nome);

CREATE TABLE tiponivelacesso (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Descricao          TEXT(100) COLLATE UNICODE_NOCASE,
    Formulario         TEXT(50) COLLATE UNICODE_NOCASE,
    Controle           TEXT(50) COLLATE UNICODE_NOCASE
);
CREATE INDEX tiponivelacesso_Formulario ON tiponivelacesso (Formulario, Controle);

CREATE TABLE niveisacesso (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    IDUsuario          INTEGER,
    IDNivelAcesso      INTEGER
);
CREATE INDEX niveisacesso_IDUsuario ON niveisacesso (IDUsuario);
CREATE INDEX niveisacesso_IDNivelAcesso ON niveisacesso (IDNivelAcesso);

CREATE TABLE acessos (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Usuario            TEXT(20) COLLATE UNICODE_NOCASE,
    Data               DATE,
    Hora               TIME,
    Descricao          TEXT(255) COLLATE UNICODE_NOCASE
);
CREATE INDEX acessos_Data ON acessos (Data);

CREATE TABLE configuracoes (
    ID                 INTEGER PRIMARY KEY AUTOINCREMENT,
    Entidade           TEXT(100) COLLATE UNICODE_NOCASE,
    Identificacao      TEXT(100) COLLATE UNICODE_NOCASE,
    Cidade             TEXT(50) COLLATE UNICODE_NOCASE,
    Endereco           TEXT(50) COLLATE UNICODE_NOCASE,
    Numero             TEXT(10) COLLATE UNICODE_NOCASE,
    Complemento        TEXT(20) COLLATE UNICODE_NOCASE,
    CNPJ               TEXT(18) COLLATE UNICODE_NOCASE,
    UsaBrasao          BOOLEAN DEFAULT 0,
    Brasao             LONGBLOB,
    PosicaoBrasao      INTEGER
);

-- ---- User-defined reports -------------------------------------------------------------------

CREATE TABLE relatorios (
    id                 INTEGER PRIMARY KEY AUTOINCREMENT,
    titulo             TEXT(255) COLLATE UNICODE_NOCASE,
    menu               TEXT(50) COLLATE UNICODE_NOCASE,
    submenu            TEXT(100) COLLATE UNICODE_NOCASE,
    sql                LONGTEXT COLLATE UNICODE_NOCASE,
    cabecalho          BOOLEAN DEFAULT 1
);
CREATE INDEX relatorios_titulo ON relatorios (titulo);

CREATE TABLE relatributorelatorio (
    id                 INTEGER PRIMARY KEY AUTOINCREMENT,
    idrelatorio        INTEGER,
    idtipo             INTEGER,
    ordem              INTEGER,
    valor              TEXT(255) COLLATE UNICODE_NOCASE
);
CREATE INDEX relatributorelatorio_idrelatorio ON relatributorelatorio (idrelatorio, idtipo);

CREATE TABLE relobjetos (
    id                 INTEGER PRIMARY KEY AUTOINCREMENT,
    idrelatorio        INTEGER,
    idtipo             INTEGER,
    ordem              INTEGER,
    nome               TEXT(50) COLLATE UNICODE_NOCASE
);
CREATE INDEX relobjetos_idrelatorio ON relobjetos (idrelatorio);
CREATE INDEX relobjetos_idtipo ON relobjetos (idtipo);
CREATE INDEX relobjetos_nome ON relobjetos (nome);

-- valor holds text, or the bytes of a picture: TEXT affinity stores blobs unchanged.
CREATE TABLE relpropriedades (
    id                 INTEGER PRIMARY KEY AUTOINCREMENT,
    idobjeto           INTEGER,
    idtipo             INTEGER,
    valor              LONGTEXT COLLATE UNICODE_NOCASE
);
CREATE INDEX relpropriedades_idobjeto ON relpropriedades (idobjeto, idtipo);
CREATE INDEX relpropriedades_idtipo ON relpropriedades (idtipo);

CREATE TABLE reltipoobjeto (
    id                 INTEGER PRIMARY KEY AUTOINCREMENT,
    nome               TEXT(50) COLLATE UNICODE_NOCASE,
    descricao          TEXT(255) COLLATE UNICODE_NOCASE
);

CREATE TABLE reltipopropriedade (
    id                 INTEGER PRIMARY KEY AUTOINCREMENT,
    nome               TEXT(50) COLLATE UNICODE_NOCASE,
    descricao          TEXT(255) COLLATE UNICODE_NOCASE,
    ordem              INTEGER
);

CREATE TABLE relobjetopropriedade (
    id                 INTEGER PRIMARY KEY AUTOINCREMENT,
    idtipoobjeto       INTEGER,
    idtipopropriedade  INTEGER
);
CREATE INDEX relobjetopropriedade_idtipoobjeto ON relobjetopropriedade (idtipoobjeto);
CREATE INDEX relobjetopropriedade_idtipopropriedade ON relobjetopropriedade (idtipopropriedade);

-- The program deletes only a report or an object row and relies on the database for the rest.
-- Triggers rather than foreign keys: they work whatever PRAGMA foreign_keys says, and the
-- object trigger also fires for the objects the report trigger deletes.
CREATE TRIGGER relatorios_exclui AFTER DELETE ON relatorios
BEGIN
    DELETE FROM relatributorelatorio WHERE idrelatorio = OLD.id;
    DELETE FROM relobjetos WHERE idrelatorio = OLD.id;
END;

CREATE TRIGGER relobjetos_exclui AFTER DELETE ON relobjetos
BEGIN
    DELETE FROM relpropriedades WHERE idobjeto = OLD.id;
END;

-- ---- Stored queries ---------------------------------------------------------------------------
-- Declared types of computed view columns, which SQLite cannot report for expressions.
-- One row per column name: same-named computed columns of different views share the type.
CREATE TABLE kova_tipos_colunas (
    coluna             TEXT PRIMARY KEY COLLATE NOCASE,
    tipo               TEXT
);

-- cfichas and cmoradores are the right-hand side of LEFT JOINs in several statements, where SQLite
-- only flattens a view that reads one table. So they read one table and compute everything else
-- with correlated subqueries on indexed columns: a list walks the base table's index and computes
-- totals only for the rows it fetches. Builtin functions only, so any reader of the file can use them.

CREATE VIEW cfichas AS
SELECT
    f.ID, f.Codigo, f.Endereco, f.Numero, f.Complemento, f.Bairro, f.Telefone,
    f.IDTipoMoradia, f.TempoResidencia, f.ValorAluguel, f.Agua, f.Esgoto, f.IDTipoBanheiro,
    f.Comodos, f.Eletricidade, f.IDTipoEstadoImovel, f.Observacoes, f.Conclusao, f.STATUS,
    (SELECT h.Nome FROM moradores h
      WHERE h.IDFicha = f.ID AND h.IDTipoMorador = 1
      ORDER BY h.STATUS DESC, h.ID LIMIT 1) AS ChefeFamilia,
    (SELECT t.Descricao FROM tipomoradia t WHERE t.ID = f.IDTipoMoradia) AS TipoMoradia,
    (SELECT t.Descricao FROM tipobanheiro t WHERE t.ID = f.IDTipoBanheiro) AS TipoBanheiro,
    (SELECT t.Descricao FROM tipoestadoimovel t WHERE t.ID = f.IDTipoEstadoImovel) AS TipoEstadoImovel,
    (SELECT round(total(r.Valor), 4) FROM moradores m JOIN rendas r ON r.IDMorador = m.ID
      WHERE m.IDFicha = f.ID AND m.STATUS = 1) AS Renda,
    (SELECT count(*) FROM moradores m WHERE m.IDFicha = f.ID AND m.STATUS = 1) AS Moradores,
    coalesce(round(
        (SELECT total(r.Valor) FROM moradores m JOIN rendas r ON r.IDMorador = m.ID
           JOIN tiporenda t ON t.ID = r.IDTipoRenda
          WHERE m.IDFicha = f.ID AND m.STATUS = 1 AND t.SomaPercapita <> 0)
        / nullif((SELECT count(*) FROM moradores m WHERE m.IDFicha = f.ID AND m.STATUS = 1), 0),
        4), 0.0) AS Percapita,
    (SELECT round(total(d.Valor), 4) FROM moradores m JOIN doacoes d ON d.IDMorador = m.ID
      WHERE m.IDFicha = f.ID) AS Doacoes,
    CASE f.STATUS WHEN 1 THEN 'Ativa' WHEN 0 THEN 'Inativa' WHEN 9 THEN 'Excluída' END AS DStatus
FROM fichas f;

CREATE VIEW cmoradores AS
SELECT
    m.ID, m.IDFicha, m.IDTipoMorador, m.Nome, m.Nascimento, m.IDTipoEstadoCivil, m.Naturalidade,
    m.UF, m.Telefone, m.Profissao, m.LocalTrabalho, m.TelefoneTrabalho, m.CPF, m.RG, m.Titulo,
    m.Zona, m.Secao, m.Obs,
    (SELECT f.Codigo FROM fichas f WHERE f.ID = m.IDFicha) AS CodigoFicha,
    (SELECT f.Endereco FROM fichas f WHERE f.ID = m.IDFicha) AS Endereco,
    (SELECT f.Numero FROM fichas f WHERE f.ID = m.IDFicha) AS Numero,
    (SELECT f.Complemento FROM fichas f WHERE f.ID = m.IDFicha) AS Complemento,
    (SELECT f.Bairro FROM fichas f WHERE f.ID = m.IDFicha) AS Bairro,
    (SELECT h.Nome FROM moradores h
      WHERE h.IDFicha = m.IDFicha AND h.IDTipoMorador = 1
      ORDER BY h.STATUS DESC, h.ID LIMIT 1) AS ChefeFamilia,
    (SELECT t.Descricao FROM tipomorador t WHERE t.ID = m.IDTipoMorador) AS TipoMorador,
    (SELECT t.Descricao FROM tipoestadocivil t WHERE t.ID = m.IDTipoEstadoCivil) AS EstadoCivil,
    (SELECT round(total(r.Valor), 4) FROM rendas r WHERE r.IDMorador = m.ID) AS Renda,
    (SELECT round(total(d.Valor), 4) FROM doacoes d WHERE d.IDMorador = m.ID) AS Doacoes,
    CASE m.STATUS WHEN 1 THEN 'Ativo' WHEN 0 THEN 'Inativo' WHEN 9 THEN 'Falecido' END AS DStatus,
    m.STATUS AS Status
FROM moradores m;

-- The other four are only ever the left-hand side of a join, so plain LEFT JOINs flatten fine
-- and keep the declared types of the columns they show.

CREATE VIEW crendas AS
SELECT
    r.ID, r.IDMorador, r.IDTipoRenda, r.OBS, r.Valor,
    m.Nome AS Morador, m.IDFicha AS IDFicha, t.Descricao AS TipoRenda
FROM rendas r
LEFT JOIN moradores m ON m.ID = r.IDMorador
LEFT JOIN tiporenda t ON t.ID = r.IDTipoRenda;

CREATE VIEW cdoacoes AS
SELECT
    d.ID, d.Data, d.IDResponsavel, d.IDTipoDoacao, d.IDMorador, d.Descricao, d.Valor, d.Parecer,
    d.IDAtendimento,
    p.Nome AS Responsavel, t.Descricao AS TipoDoacao, m.Nome AS Morador, m.IDFicha AS IDFicha,
    f.Codigo AS CodigoFicha
FROM doacoes d
LEFT JOIN responsaveis p ON p.ID = d.IDResponsavel
LEFT JOIN tipodoacao t ON t.ID = d.IDTipoDoacao
LEFT JOIN moradores m ON m.ID = d.IDMorador
LEFT JOIN fichas f ON f.ID = m.IDFicha;

-- Cancelled attendances (status 0) and deleted professionals (status 0) are hidden: the windows
-- set status 0 and expect the row to leave the list.
CREATE VIEW catendimentos AS
SELECT
    a.ID, a.Protocolo, a.Data, a.IDMorador, a.IDResponsavel, a.Obs, a.Conclusao, a.Status,
    m.Nome AS Morador, p.Nome AS Responsavel, f.Codigo AS CadastroSocial,
    CASE a.Status WHEN 1 THEN 'Agendado' WHEN 9 THEN 'Concluído' END AS TStatus
FROM atendimentos a
LEFT JOIN moradores m ON m.ID = a.IDMorador
LEFT JOIN responsaveis p ON p.ID = a.IDResponsavel
LEFT JOIN fichas f ON f.ID = m.IDFicha
WHERE a.Status IS NOT 0;

CREATE VIEW cresponsaveis AS
SELECT
    p.ID, p.Nome, p.Cidade, p.Endereco, p.Numero, p.Complemento, p.Bairro, p.Telefone, p.Celular,
    p.IDTipoProfissional, p.UF, p.Email, p.Conselho, p.Status,
    t.Descricao AS TipoProfissional
FROM responsaveis p
LEFT JOIN tipoprofissional t ON t.ID = p.IDTipoProfissional
WHERE p.Status IS NOT 0;

PRAGMA user_version = 1;
