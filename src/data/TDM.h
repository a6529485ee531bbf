#pragma once
// The data module: owns the one connection, the shared datasets, the run-time queries, the
// configuration file and the access-log writer.

#include "data/Globals.h"
#include "platform/db/Connection.h"
#include "platform/db/Dataset.h"

#include <QObject>
#include <functional>
#include <memory>

class QAction;
class QMenu;

class TDM : public QObject {
    Q_OBJECT
public:
    explicit TDM(QObject *parent = nullptr);
    ~TDM() override;

    // Start-up: globals, "KOVA.ini", the run-time queries, Conectar and the package import.
    // programFolder empty: the folder of the program file.
    void DataModuleCreate(const QString &programFolder = QString());
    // (Re)opens the database at CaminhoBanco and re-attaches every dataset.
    void Conectar();
    // Closes every dataset and the connection (before a restore replaces the file).
    void Desconectar();
    // One row in the access log; never fails towards the caller.
    void GravaAcesso(const QString &descricao);
    // Rebuilds the user-defined reports listed under menu (by its object name).
    void CarregaMenu(QMenu *menu);
    void MenuClick(QAction *item);

    db::Connection *conexao() const { return m_conn.get(); }
    QString caminhoIni() const;

    // Seams filled by the windows that come later.
    std::function<void()> abrirSetup;                            // Setup, modal, made for the moment
    std::function<void()> importaPacotes;                        // packages left in the program folder
    std::function<void(int id, const QString &nome)> geraRelatorio; // preview of a user-defined report
    std::function<void()> esquecePeriodo;                        // forget the remembered report period

    // Shared datasets, named as the windows know them.
    db::Dataset QFichas, QMoradores, QRendas, QDoacoes, QResponsaveis, QAtendimentos, TAtendimento;
    db::Dataset QDoacoesPadrao, TDoacoesPadrao;
    db::Dataset TFichas, TMoradores, TRendas, TDoacoes, TResponsaveis;
    db::Dataset TTipoDoacao, TTipoRenda, TTipoProfissional;
    db::Dataset QTipoMorador, QTipoEstadoCivil, QTipoMoradia, QTipoBanheiro, QTipoEstadoImovel;
    db::Dataset TBConfiguracoes, TBUsuarios;
    db::Dataset TRelatorios, TAtributos, QObjetos, TObjetos, QPropriedades, TPropriedades, QConsulta;

    // Run-time queries, created by DataModuleCreate.
    db::Dataset *QAux1 = nullptr;
    db::Dataset *QAux2 = nullptr;
    db::Dataset *QAux3 = nullptr;
    db::Dataset *QAux4 = nullptr;
    db::Dataset *QAcesso = nullptr;

    QList<db::Dataset *> datasets() const;

private:
    void lerConfiguracao();
    std::unique_ptr<db::Connection> m_conn;
    std::vector<std::unique_ptr<db::Dataset>> m_runtime;
};

// The one data module of the program.
extern TDM *DM;
