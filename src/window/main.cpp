// nerio-config: the configuration tool for units attached over USB.

#include "configurationtool.h"
#include "devicelink/frametrace.h"

#ifdef _WIN32
#include "devicelink/windows/dllbridge.h"

#include <QMessageBox>

namespace {

// Without the vendor's bridge library the window still opens, with no units,
// once it has said what to install.
std::shared_ptr<BridgeBackend> makeUnitBridge()
{
    auto bridge = std::make_shared<DllBridge>();
    if (const auto &problem = bridge->loadProblem())
        QMessageBox::warning(nullptr, QStringLiteral("nerio-config"), QString::fromStdString(*problem));
    return bridge;
}

} // namespace
#else
#include "devicelink/usb/libusbbridge.h"

constexpr auto makeUnitBridge = makeLibusbBridge;
#endif

int main(int argc, char **argv)
{
    // NERIO_TRACE=1 prints every frame in hex to stderr, for support.
    enableFrameTraceFromEnvironment();
    return runConfigurationTool(argc, argv, makeUnitBridge);
}
