#pragma once

// How many data bytes the units' replies to read frames carried. The reply
// value alone cannot tell: one data byte 12 and the two data bytes 1 and 2
// both give "12", and a reply without data bytes reads as 0. A command that
// writes back what it read has to know which values the unit really reported.

#include "devicelink/siusbbridge.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <utility>

class ReplyRecorder;

// While it lives, every exchange passes a recorder that sits between the
// protocol and the backend installed before it.
class ReplyShapeWatch
{
public:
    ReplyShapeWatch();
    ~ReplyShapeWatch();
    ReplyShapeWatch(const ReplyShapeWatch &) = delete;
    ReplyShapeWatch &operator=(const ReplyShapeWatch &) = delete;

    // The data bytes of the last reply to a read of `parameter` on `device`;
    // std::nullopt when no reply to one arrived while the watch lived.
    std::optional<int> dataBytes(std::uint16_t device, std::uint8_t parameter) const;

private:
    std::shared_ptr<ReplyRecorder> m_recorder;
    std::shared_ptr<BridgeBackend> m_previous;
};
