// Parameter files on any bytes: the input is the file. Each kind loads it;
// a load either fails with the reading message or gives a record that saves,
// reloads and gives the same record again.

#include "fuzzinput.h"
#include "packparameters/aircraftpackparameters.h"
#include "packparameters/bodypackparameters.h"
#include "packparameters/packsettings.h"
#include "packparameters/parameterfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

template <typename Record>
bool sameFileSettings(const Record &a, const Record &b)
{
    const PackSettings first = fileSettings(a);
    const PackSettings second = fileSettings(b);
    return std::ranges::all_of(settings(),
                               [&](const SettingInfo &info) { return first.value(info.setting) == second.value(info.setting); });
}

template <typename Record>
void loadSaveReload(const QString &input, const QString &saved)
{
    PackParameters<Record> pack;
    Record loaded;
    Errortype loading;
    pack.load_from_file(input, loaded, loading);
    requireProperty(loading.status == !loading.message.isEmpty(), "a failed load records its message");
    if (loading.status) {
        requireProperty(loading.message == FileMessages::readFailed, "a failed load records the reading message");
        return;
    }
    Errortype saving;
    pack.save_to_file(saved, loaded, saving);
    requireProperty(!saving.status, "a loaded record saves");
    Record reloaded;
    Errortype reloading;
    pack.load_from_file(saved, reloaded, reloading);
    requireProperty(!reloading.status, "a saved file loads");
    requireProperty(sameFileSettings(loaded, reloaded), "a saved file reloads as the record it was saved from");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QTemporaryDir folder;
    const QString input = folder.filePath(QStringLiteral("input"));
    const QString saved = folder.filePath(QStringLiteral("saved"));
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        return 0;
    file.close();
    loadSaveReload<Body_cfg_params>(input, saved);
    loadSaveReload<Aircraft_cfg_params>(input, saved);
    return 0;
}
