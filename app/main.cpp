// kx5170-config: the configuration window on the machine's HID devices.
#include "application.h"
#include "frm_main.h"
#include "session_worker.h"
#include "hidapi_backend.h"

int main(int argc, char* argv[])
{
    const char* const description = kx::ApplicationDescription;
    kx::AnswerOnTerminal(argc, argv, description);
    QApplication app(argc, argv);
    kx::SetApplicationMetadata();
    const QString file = kx::ReadCommandLine(app, description);

    std::unique_ptr<kx::HidPlatform> platform = kx::MakeHidapiPlatform();
    frmMain window(std::make_unique<kx::SessionWorker>(*platform));
    window.SetAboutPlatform(QStringLiteral("hidapi %1").arg(QString::fromLatin1(kx::HidapiVersionText())));
    if (!file.isEmpty())
        window.OpenWhenLoaded(file);
    return kx::RunWindow(app, window);
}
