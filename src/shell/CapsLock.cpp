#include "shell/CapsLock.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#ifdef KOVA_HAVE_X11
#include <QtGui/qguiapplication_platform.h>
#include <X11/XKBlib.h>
#endif

namespace shell {

namespace {
std::function<bool()> g_leitor;

bool doSistema()
{
#ifdef KOVA_HAVE_X11
    if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        unsigned estado = 0;
        if (x11->display() && XkbGetIndicatorState(x11->display(), XkbUseCoreKbd, &estado) == Success)
            return (estado & 1u) != 0; // the first indicator is Caps Lock
    }
#endif
    // Elsewhere, the keyboard's own LED as the kernel reports it.
    const QDir leds(QStringLiteral("/sys/class/leds"));
    for (const QString &led : leds.entryList({QStringLiteral("*capslock")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile brilho(leds.filePath(led + QStringLiteral("/brightness")));
        if (brilho.open(QIODevice::ReadOnly) && brilho.readAll().trimmed().toInt() > 0)
            return true;
    }
    return false;
}
} // namespace

bool CapsLockLigado() { return g_leitor ? g_leitor() : doSistema(); }

void DefineLeitorCapsLock(std::function<bool()> leitor) { g_leitor = std::move(leitor); }

} // namespace shell
