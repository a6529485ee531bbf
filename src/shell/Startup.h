#pragma once
// Program start: the splash, the one-copy-per-installation rule, the creation of every window in
// its fixed order, and the main window on screen.

#include <QHash>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class TDM;
class TForm1;
class TFrmInicial;

namespace shell {

// "KOVA - Kovalume": the application's title.
QString TituloAplicacao();

// Every window of the program in the order start-up creates them. A name without a registered
// maker is skipped, so a window joins the sequence in its place as soon as it exists.
const QStringList &OrdemCriacao();

// Held while this copy runs: one copy per program folder (a lock named after the folder).
class InstanciaUnica {
public:
    explicit InstanciaUnica(const QString &pastaPrograma);
    bool primeira() const { return m_primeira; }
    static QString caminhoTrava(const QString &pastaPrograma);

private:
    std::unique_ptr<QLockFile> m_trava;
    bool m_primeira = false;
};

class Sistema {
public:
    // pastaPrograma empty: the folder of the program file.
    explicit Sistema(QString pastaPrograma = QString());
    ~Sistema();
    Sistema(const Sistema &) = delete;
    Sistema &operator=(const Sistema &) = delete;

    // How to create a window of OrdemCriacao(); the object is owned here until the program ends.
    void Registra(const QString &classe, std::function<QObject *()> cria);
    // Run just before TDM connects and before TForm1 checks its users: where later windows
    // fill the data module's and the main window's seams.
    std::function<void(TDM &)> PreparaDM;
    std::function<void(TForm1 &)> PreparaForm1;

    // Splash, single copy, every window in order. False when the program must end (see
    // shell::CodigoSaida()).
    bool Cria();
    // Hides the splash and shows the main window.
    void Mostra();

    TFrmInicial *Splash() const { return m_splash.get(); }
    const QStringList &Criadas() const { return m_criadas; }
    const QString &PastaPrograma() const { return m_pasta; }

private:
    QString m_pasta;
    std::unique_ptr<InstanciaUnica> m_instancia;
    std::unique_ptr<TFrmInicial> m_splash;
    QHash<QString, std::function<QObject *()>> m_fabricas;
    std::vector<QPointer<QObject>> m_objetos; // in creation order; destroyed in reverse
    QStringList m_criadas;
};

} // namespace shell
