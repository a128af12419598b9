#pragma once

#include <QString>

#include <optional>

enum class PackKind { Bodypack, Aircraft };

// The name given to --kind and printed in JSON: "bodypack", "aircraft".
QString packKindName(PackKind kind);
std::optional<PackKind> packKindFromName(const QString &name);

// As people read it: "bodypack", "aircraft pack".
QString packKindCaption(PackKind kind);

// The kind whose whole-set read accepts this product ID: a bodypack reads only
// as "eab0", an aircraft pack as "eab1" in any case.
std::optional<PackKind> packKindOfProductId(const QString &productId);
