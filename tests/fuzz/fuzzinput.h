#pragma once

// What the fuzz harnesses share: the input taken piece by piece, and the check
// of a property that must hold for every input.

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// libFuzzer's entry, which each harness defines; the corpus replay calls it too.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

// The input read from the front. Once it has run out every read gives 0, and
// each harness makes 0 its ordinary choice, so that every input ends.
class FuzzInput
{
public:
    FuzzInput(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t byte() { return m_offset < m_size ? m_data[m_offset++] : 0; }

    std::uint16_t uint16() { return std::uint16_t(byte() | byte() << 8); }

    std::uint32_t uint32() { return std::uint32_t(uint16()) | std::uint32_t(uint16()) << 16; }

    // Up to `count` bytes, fewer where the input ends.
    QByteArray bytes(std::size_t count)
    {
        const std::size_t taken = count < m_size - m_offset ? count : m_size - m_offset;
        const QByteArray result(reinterpret_cast<const char *>(m_data + m_offset), qsizetype(taken));
        m_offset += taken;
        return result;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
};

// A broken property is a finding: the harness stops as on a crash, so that
// libFuzzer keeps the input and the corpus replay fails.
inline void requireProperty(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "Property broken: %s\n", property);
    std::abort();
}
