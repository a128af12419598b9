#include "windowtext.h"

QString WindowText::productVersion()
{
    return QStringLiteral(NERIO_PRODUCT_VERSION);
}

QString WindowText::title()
{
    return productName + u' ' + productVersion();
}

QString WindowText::undescribedDevice(std::uint32_t device)
{
    return QStringLiteral("USB device %1 (its description could not be read)").arg(device);
}
