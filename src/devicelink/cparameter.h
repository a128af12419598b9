#pragma once

// The parameter protocol with one unit: read, write and command frames, one
// exchange per frame through the USB bridge, the echo check of writes and
// commands, and the unit's product ID.

#include "common/errortype.h"
#include "frameconstants.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// Result of an exchange: the reply value (decimal data bytes joined with no
// separator), std::nullopt when the reply carried no data bytes, or the empty
// text when the exchange failed or an error was already recorded.
using ReplyValue = std::optional<QString>;

namespace DeviceMessages {
inline const QString writeFailed = QStringLiteral("Could not write to the device. Probably no connection.");
inline const QString noResponse = QStringLiteral("No response from device.");
inline const QString wrongEcho = QStringLiteral("Couldn't write the right value to the device. (write error)");
inline const QString wrongCommandEcho = QStringLiteral("Couldn't send a command to the device. (command error)");
inline const QString noProductId = QStringLiteral("Could not read a product ID from the device. Probably no connection.");
} // namespace DeviceMessages

class CParameter
{
public:
    explicit CParameter(std::uint16_t device_index);

    ReplyValue read(std::uint8_t par_number, Errortype &error);
    void write(std::uint8_t par_number, const QString &data, Errortype &error);
    void command(std::uint8_t command_number, const QString &data, Errortype &error);
    QString GetProductID(Errortype &error);

private:
    static std::uint8_t calc_crc(const std::uint8_t *buff, std::uint16_t length);

    using Frame = std::array<std::uint8_t, kFrameBufferSize>;

    // Builds a write or command frame; std::nullopt when `data` is no dotted
    // value that fits the frame (a piece that is no byte, more than 6 pieces).
    static std::optional<std::uint16_t> build_frame(Frame &frame, std::uint8_t operation, std::uint8_t number,
                                                    const QString &data);
    void send_checked(std::uint8_t operation, std::uint8_t number, const QString &data, const QString &mismatch,
                      Errortype &error);
    ReplyValue par_send(const std::uint8_t *buff, std::uint16_t length, Errortype &error);

    std::uint16_t fdevice_index;
};
