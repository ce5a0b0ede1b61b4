// kx5170-config: the configuration window on the machine's HID devices.
#include "application.h"
#include "frm_main.h"
#include "hidapi_backend.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    kx::SetApplicationMetadata();

    std::unique_ptr<kx::HidPlatform> platform = kx::MakeHidapiPlatform();
    frmMain window(*platform);
    window.Form_Load();
    return app.exec();
}
