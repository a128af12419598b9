#include "testsupport.h"

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The capabilities that let root past the permission bits of a file.
constexpr std::uint32_t kFileAccessOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

// Drops the overrides from this thread's effective capabilities, or takes
// them back from its permitted ones.
void checkFileAccessAsAnyUser(bool check)
{
    if (geteuid() != 0)
        return;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return;
    data[0].effective = check ? data[0].effective & ~kFileAccessOverrides
                              : data[0].effective | (data[0].permitted & kFileAccessOverrides);
    syscall(SYS_capset, &header, data);
}

} // namespace

FakeReplyClock::FakeReplyClock()
    : m_now(std::make_shared<std::uint64_t>(1'000'000))
{
    m_previous = setReplyClock([now = m_now] { return (*now)++; });
}

FakeReplyClock::~FakeReplyClock()
{
    setReplyClock(m_previous);
}

ScopedSimulatedBridge::ScopedSimulatedBridge()
    : m_bridge(std::make_shared<SimulatedBridge>())
{
    m_previous = installBridgeBackend(m_bridge);
}

ScopedSimulatedBridge::~ScopedSimulatedBridge()
{
    installBridgeBackend(m_previous);
}

ScopedFileAccessChecks::ScopedFileAccessChecks()
{
    checkFileAccessAsAnyUser(true);
}

ScopedFileAccessChecks::~ScopedFileAccessChecks()
{
    checkFileAccessAsAnyUser(false);
}

void denyFileAccessOverridesAcrossExec()
{
    if (geteuid() != 0)
        return;
    // Root gets its overrides back on exec from the bounding and inheritable
    // sets, whatever its effective set holds.
    prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return;
    data[0].inheritable &= ~kFileAccessOverrides;
    syscall(SYS_capset, &header, data);
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (const int value : values)
        result.append(char(value));
    return result;
}

QList<int> parameterNumbers(const QList<QByteArray> &frames)
{
    QList<int> numbers;
    for (const QByteArray &frame : frames)
        numbers.append(std::uint8_t(frame[2]));
    return numbers;
}
