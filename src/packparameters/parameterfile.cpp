#include "parameterfile.h"

#include "filesave.h"

#include <QFileInfo>
#include <QXmlStreamReader>

#include <algorithm>
#include <functional>
#include <limits>
#include <span>
#include <vector>

namespace {

// A limit of the tool (docs/limits.md): parameter files are a few hundred
// bytes, so a file over 1 MiB is no parameter file; it is refused without
// being read into memory.
constexpr qint64 kLargestReadableFile = 1 << 20;

struct FileValue
{
    std::string_view element;
    int value;
};

struct FileField
{
    std::string_view element;
    int minimum;
    int maximum;
    std::function<void(int)> store;
};

QByteArray latin1(std::string_view text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

QByteArray fileBytes(std::string_view root, std::span<const FileValue> values)
{
    const QByteArray lineEnd = "\r\n";
    QByteArray bytes = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>" + lineEnd;
    bytes += "<" + latin1(root) + ">" + lineEnd;
    for (const FileValue &value : values)
        bytes += "<" + latin1(value.element) + ">" + QByteArray::number(value.value) + "</" + latin1(value.element)
                 + ">" + lineEnd;
    bytes += "</" + latin1(root) + ">";
    return bytes;
}

// Spaces, tabs and line ends; not the other Unicode spaces (no-break space,
// U+3000, U+0085), which QStringView::trimmed() would also take.
bool isFileWhitespace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

QStringView withoutFileWhitespace(QStringView text)
{
    while (!text.isEmpty() && isFileWhitespace(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && isFileWhitespace(text.back()))
        text.chop(1);
    return text;
}

// A decimal integer with optional white space around it and one optional sign.
std::optional<int> parseInteger(QStringView text, int minimum, int maximum)
{
    text = withoutFileWhitespace(text);
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    // Saturates well above every range, so that a long run of digits cannot overflow.
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (c.unicode() - u'0'), 1'000'000);
    }
    if (negative)
        value = -value;
    if (value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

// Moves to the next element start or end, skipping white space, comments and
// processing instructions; false at anything else.
bool nextTag(QXmlStreamReader &xml)
{
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
        case QXmlStreamReader::EndElement:
            return true;
        case QXmlStreamReader::StartDocument:
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
            break;
        case QXmlStreamReader::Characters:
            if (!xml.isWhitespace())
                return false;
            break;
        default:
            return false;
        }
    }
    return false;
}

// The name as written, prefix included: a prefixed element is another name.
bool isElement(const QXmlStreamReader &xml, std::string_view name)
{
    return xml.qualifiedName() == QLatin1StringView(name.data(), qsizetype(name.size()));
}

bool readFields(QXmlStreamReader &xml, std::string_view root, std::span<const FileField> fields)
{
    if (!nextTag(xml) || !xml.isStartElement() || !isElement(xml, root))
        return false;
    for (const FileField &field : fields) {
        if (!nextTag(xml) || !xml.isStartElement() || !isElement(xml, field.element))
            return false;
        const QString text = xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (xml.hasError())
            return false;
        const auto value = parseInteger(text, field.minimum, field.maximum);
        if (!value)
            return false;
        field.store(*value);
    }
    return nextTag(xml) && xml.isEndElement() && isElement(xml, root);
}

void writeParameterFile(const QString &filename, std::string_view root, std::span<const FileValue> values,
                        Errortype &error)
{
    if (error.status)
        return;
    // Replacing a directory or a device node with a file would be no save.
    const QFileInfo info(filename);
    if (filename.isEmpty() || (info.exists() && !info.isFile())) {
        error.fail(FileMessages::writeFailed);
        return;
    }
    if (!saveFileContents(filename, fileBytes(root, values)))
        error.fail(FileMessages::writeFailed);
}

void readParameterFile(const QString &filename, std::string_view root, std::span<const FileField> fields,
                       Errortype &error)
{
    if (error.status)
        return;
    // Only a regular file is read: a FIFO would block the open, a device node
    // could deliver bytes for ever.
    const QFileInfo info(filename);
    QFile file(filename);
    if (!info.isFile() || info.size() > kLargestReadableFile || !file.open(QIODevice::ReadOnly)) {
        error.fail(FileMessages::readFailed);
        return;
    }
    // What the size promised, and no more should the file have grown since.
    QXmlStreamReader xml(file.read(info.size()));
    file.close();
    if (!readFields(xml, root, fields))
        error.fail(FileMessages::readFailed);
}

} // namespace

template <typename Record>
void saveParameterFile(const QString &filename, const Record &record, Errortype &error)
{
    const PackKindInfo &kind = packKind(kRecordKind<Record>);
    std::vector<FileValue> values;
    for (const Setting setting : kind.fileSettings)
        withSettingField(record, setting,
                         [&](const auto &field) { values.push_back({settingInfo(setting).fileElement, int(field)}); });
    writeParameterFile(filename, kind.fileRoot, values, error);
}

template <typename Record>
void loadParameterFile(const QString &filename, Record &record, Errortype &error)
{
    const PackKindInfo &kind = packKind(kRecordKind<Record>);
    std::vector<FileField> fields;
    for (const Setting setting : kind.fileSettings)
        withSettingField(record, setting, [&](auto &field) {
            using Field = std::remove_reference_t<decltype(field)>;
            fields.push_back({settingInfo(setting).fileElement, std::numeric_limits<Field>::min(),
                              std::numeric_limits<Field>::max(), [&field](int value) { field = Field(value); }});
        });
    readParameterFile(filename, kind.fileRoot, fields, error);
}

template void saveParameterFile(const QString &, const Body_cfg_params &, Errortype &);
template void saveParameterFile(const QString &, const Aircraft_cfg_params &, Errortype &);
template void loadParameterFile(const QString &, Body_cfg_params &, Errortype &);
template void loadParameterFile(const QString &, Aircraft_cfg_params &, Errortype &);
