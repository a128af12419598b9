#pragma once

#include "common/errortype.h"

#include <QString>

#include <cstdint>
#include <optional>

// The unit keeps its ID in two bytes: IDs up to 99 as 0 and the ID, larger
// ones as their first two digits and the remaining digits (1234 as 12, 34).
QString dottedId(std::int16_t id);

// Why an ID cannot be stored on a unit, or std::nullopt when it can. An ID from
// 1000 to 9999 ending in 00 to 09 would go out as the bytes of a three-digit ID
// (1005 as 10, 5, which the unit then reports as 105).
std::optional<QString> unstorableIdMessage(int id);

// Records why `id` cannot be written to a unit, before anything is sent.
bool idIsStorable(int id, Errortype &error);
