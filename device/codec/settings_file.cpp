#include "settings_file.h"

#include "input_report.h"
#include "plain_text.h"
#include "translatable.h"

#include <algorithm>
#include <tuple>
#include <charconv>
#include <cstdio>
#include <limits>

namespace kx {

namespace {

constexpr std::string_view MarkerKey = "kx5170-settings";
constexpr std::string_view BoardTypeKey = "board_type";
constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";
// Where the comments of a saved file start, so that they line up.
constexpr std::size_t CommentColumn = 30;

std::string_view Trim(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The length of the UTF-8 sequence that starts at bytes[at], or 0 when none does
// there: a stray continuation byte, a cut sequence, an overlong form, a surrogate, a
// code point past Unicode.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at)
{
    return DecodeUtf8At(bytes, at).Length;
}

// The line end at the start of `bytes`: LF, CRLF or a lone CR (as an old editor
// writes them); 0 when there is none there.
std::size_t LineEndAt(std::string_view bytes, std::size_t at)
{
    if (bytes[at] == '\n')
        return 1;
    if (bytes[at] == '\r')
        return at + 1 < bytes.size() && bytes[at + 1] == '\n' ? 2 : 1;
    return 0;
}

// The 1-based line of the first byte that cannot be in a text file (a NUL, or a byte
// that is not part of valid UTF-8); 0 when there is none.
int FirstLineThatIsNotText(std::string_view bytes)
{
    int line = 1;
    for (std::size_t i = 0; i < bytes.size();) {
        if (const std::size_t end = LineEndAt(bytes, i)) {
            ++line;
            i += end;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(bytes, i);
        if (bytes[i] == 0 || length == 0)
            return line;
        i += length;
    }
    return 0;
}

// A whole decimal number: an optional sign and digits, nothing else.
std::optional<std::int64_t> WholeNumber(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars takes a sign of its own: one after ours would let "--5" through as 5.
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    std::int64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (end != text.data() + text.size())
        return std::nullopt;
    // Too long for 64 bits: far outside every range, which is all that matters here.
    if (ec == std::errc::result_out_of_range)
        return negative ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
    if (ec != std::errc())
        return std::nullopt;
    return negative ? -magnitude : magnitude;
}

std::size_t StopsIndex()
{
    return static_cast<std::size_t>(FindSettingByKey("stops") - SettingsFields.data());
}

// Degrees with at most one decimal ("900", "899.9"), in tenths; no sign, as a rotation
// is never negative. Beyond a million degrees, the most: no board turns near that.
std::optional<std::int64_t> RotationTenthsOf(std::string_view text)
{
    std::int64_t tenth = 0;
    if (const std::size_t point = text.find('.'); point != std::string_view::npos) {
        const std::string_view fraction = text.substr(point + 1);
        if (fraction.size() != 1 || fraction[0] < '0' || fraction[0] > '9')
            return std::nullopt;
        tenth = fraction[0] - '0';
        text = text.substr(0, point);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    const std::optional<std::int64_t> whole = WholeNumber(text);
    if (!whole)
        return std::nullopt;
    constexpr std::int64_t Most = 1'000'000;
    return std::min(*whole, Most) * 10 + tenth;
}

// Quotes at most a screenful of what the user wrote, control characters written out:
// the message is one line of plain text.
constexpr std::size_t Longest = 40;

std::string Quoted(std::string_view text)
{
    return '"' + PlainTextCut(text, Longest) + '"';
}

SettingsFileError Refuse(int line, const char* text, std::vector<std::string> arguments = {})
{
    return RefuseSettings(line, text, std::move(arguments));
}

std::string RangeText(const SettingsField& field)
{
    return std::to_string(field.Lowest) + " to " + std::to_string(field.Highest);
}

// A board's strings go into comments: a line break or other control character in
// them must not end the comment and start a line the reader would take as a setting,
// and a byte that is not UTF-8 would make the whole file unreadable.
std::string OneLine(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            out += '?';
            ++i;
            continue;
        }
        const auto b = static_cast<unsigned char>(text[i]);
        if (length == 1 && (b < 0x20 || b == 0x7F))
            out += ' ';
        else
            out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

}  // namespace

std::variant<SettingsFile, SettingsFileError> ParseSettingsFile(std::string_view bytes, OutOfRange outOfRange)
{
    if (bytes.size() > MaxSettingsFileSize)
        return Refuse(0, QT_TRANSLATE_NOOP("SettingsFile", "larger than 64 KiB: not a settings file"));
    if (const int line = FirstLineThatIsNotText(bytes))
        return Refuse(line, QT_TRANSLATE_NOOP("SettingsFile", "not UTF-8 text: not a settings file"));
    if (bytes.starts_with(Utf8ByteOrderMark))
        bytes.remove_prefix(Utf8ByteOrderMark.size());

    SettingsFile file;
    bool markerSeen = false;
    std::array<int, SettingsCount> givenOnLine{};
    int boardTypeLine = 0;
    int rotationLine = 0;
    const std::size_t stopsIndex = StopsIndex();
    const auto oneOfStopsAndRotation = [](int firstLine) {
        return std::pair{QT_TRANSLATE_NOOP("SettingsFile", "\"stops\" and \"rotation\" say the same thing twice "
                                                          "(the other is on line %1): give one of them"),
                         std::vector<std::string>{std::to_string(firstLine)}};
    };

    int lineNumber = 0;
    while (!bytes.empty() || lineNumber == 0) {
        ++lineNumber;
        const std::size_t end = bytes.find_first_of("\r\n");
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + LineEndAt(bytes, end));
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        line = Trim(line);
        if (line.empty())
            continue;

        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return Refuse(lineNumber, QT_TRANSLATE_NOOP("SettingsFile", "expected \"key = value\", found %1"), {Quoted(line)});
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view valueText = Trim(line.substr(equals + 1));
        if (key.empty())
            return Refuse(lineNumber, QT_TRANSLATE_NOOP("SettingsFile", "expected \"key = value\", found %1"), {Quoted(line)});

        if (!markerSeen) {
            if (key != MarkerKey)
                return Refuse(lineNumber, QT_TRANSLATE_NOOP("SettingsFile", "not a settings file: the first line must be \"kx5170-settings = 1\""));
            if (valueText != "1")
                return Refuse(lineNumber,
                              QT_TRANSLATE_NOOP("SettingsFile",
                                                "settings file version %1 is not one this program reads (it reads version 1)"),
                              {Quoted(valueText)});
            markerSeen = true;
            continue;
        }
        if (key == MarkerKey)
            return Refuse(lineNumber, QT_TRANSLATE_NOOP("SettingsFile", "\"kx5170-settings\" is given twice"));

        const std::optional<std::int64_t> value = WholeNumber(valueText);
        const std::string quotedKey = Quoted(key);
        if (key == BoardTypeKey) {
            if (boardTypeLine)
                return Refuse(lineNumber, QT_TRANSLATE_NOOP("SettingsFile", "\"board_type\" is given twice (first on line %1)"),
                              {std::to_string(boardTypeLine)});
            if (!value || *value < 0 || *value > 255)
                return Refuse(lineNumber,
                              QT_TRANSLATE_NOOP("SettingsFile", "\"board_type\" must be a whole number from 0 to 255, not %1"),
                              {Quoted(valueText)});
            boardTypeLine = lineNumber;
            file.BoardType = static_cast<int>(*value);
            continue;
        }

        if (key == RotationKey) {
            if (rotationLine)
                return Refuse(lineNumber, QT_TRANSLATE_NOOP("SettingsFile", "\"rotation\" is given twice (first on line %1)"),
                              {std::to_string(rotationLine)});
            if (givenOnLine[stopsIndex])
                return std::apply([&](auto... a) { return Refuse(lineNumber, a...); }, oneOfStopsAndRotation(givenOnLine[stopsIndex]));
            const std::optional<std::int64_t> tenths = RotationTenthsOf(valueText);
            if (!tenths)
                return Refuse(lineNumber,
                              QT_TRANSLATE_NOOP("SettingsFile",
                                                "\"rotation\" must be degrees lock to lock, such as 900 or 899.9, not %1"),
                              {Quoted(valueText)});
            rotationLine = lineNumber;
            file.RotationTenths = *tenths;
            continue;
        }

        const SettingsField* field = FindSettingByKey(key);
        if (!field)
            return Refuse(lineNumber, QT_TRANSLATE_NOOP("SettingsFile", "unknown setting %1"), {quotedKey});
        const auto index = static_cast<std::size_t>(field - SettingsFields.data());
        if (givenOnLine[index])
            return Refuse(lineNumber, QT_TRANSLATE_NOOP("SettingsFile", "%1 is given twice (first on line %2)"),
                          {quotedKey, std::to_string(givenOnLine[index])});
        if (index == stopsIndex && rotationLine)
            return std::apply([&](auto... a) { return Refuse(lineNumber, a...); }, oneOfStopsAndRotation(rotationLine));
        if (!value)
            return Refuse(lineNumber, QT_TRANSLATE_NOOP("SettingsFile", "%1 must be a whole number, not %2"), {quotedKey, Quoted(valueText)});

        const bool inRange = *value >= field->Lowest && *value <= field->Highest;
        if (!inRange && !(outOfRange == OutOfRange::Clamp && field->Clamped))
            return Refuse(lineNumber, QT_TRANSLATE_NOOP("SettingsFile", "%1 = %2 is outside its range, %3 to %4"),
                          {quotedKey, PlainTextCut(valueText, Longest), std::to_string(field->Lowest),
                           std::to_string(field->Highest)});
        givenOnLine[index] = lineNumber;
        file.Values[index] = static_cast<std::int32_t>(
            *value > field->Highest ? field->Highest : *value < field->Lowest ? field->Lowest : *value);
    }

    if (!markerSeen)
        return Refuse(lineNumber, QT_TRANSLATE_NOOP("SettingsFile", "not a settings file: the first line must be \"kx5170-settings = 1\""));
    return file;
}

std::string FillTemplate(std::string_view text, const std::vector<std::string>& arguments)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n = i + 1 < text.size() ? static_cast<std::size_t>(text[i + 1] - '0') : 0;
        if (text[i] == '%' && n >= 1 && n <= 9 && n <= arguments.size()) {
            out += arguments[n - 1];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

SettingsFileError RefuseSettings(int line, const char* text, std::vector<std::string> arguments)
{
    return {line, FillTemplate(text, arguments), text, std::move(arguments)};
}

std::string DescribeSettingsFileError(std::string_view fileName, const SettingsFileError& error)
{
    std::string text = PlainText(fileName);
    if (error.Line > 0)
        text += ':' + std::to_string(error.Line);
    return text + ": " + error.Reason;
}

std::variant<SettingsFile, SettingsFileError> ResolveRotation(const SettingsFile& file, std::optional<int> countsPerTurn)
{
    if (!file.RotationTenths)
        return file;
    const std::string given = TenthsText(*file.RotationTenths);
    const std::optional<std::int64_t> stops = StopsForRotation(*file.RotationTenths, countsPerTurn);
    if (!stops)
        return Refuse(0, QT_TRANSLATE_NOOP("SettingsFile", "rotation = %1 needs the board's type, which is not known, "
                                                           "to be made stops: give stops in counts instead"),
                      {given});
    const SettingsField& field = SettingsFields[StopsIndex()];
    if (!InRange(field, *stops)) {
        const std::optional<std::int64_t> most = RotationTenths(field.Highest, countsPerTurn);
        return Refuse(0,
                      QT_TRANSLATE_NOOP("SettingsFile", "rotation = %1 would be stops = %2, outside its range, %3 to %4: "
                                                        "this board turns at most %5 degrees lock to lock"),
                      {given, std::to_string(*stops), std::to_string(field.Lowest), std::to_string(field.Highest),
                       TenthsText(*most)});
    }
    SettingsFile resolved = file;
    resolved.Values[StopsIndex()] = static_cast<std::int32_t>(*stops);
    resolved.RotationTenths.reset();
    return resolved;
}

WheelSettings ApplySettingsFile(const WheelSettings& board, const SettingsFile& file)
{
    WheelSettings merged = board;
    for (std::size_t i = 0; i < SettingsCount; ++i)
        if (file.Values[i])
            merged.*SettingsFields[i].Value = *file.Values[i];
    return merged;
}

bool SettingsFileCountsDiffer(const SettingsFile& file, std::optional<int> boardType)
{
    if (!file.BoardType)
        return false;
    return CountsPerTurn(file.BoardType) != CountsPerTurn(boardType);
}

std::string FormatSettingsFile(const WheelSettings& settings, const SettingsFileOrigin& origin)
{
    std::string text = "# KX5170 wheel settings\n";
    text += "# Board: " + OneLine(origin.Product.empty() ? "KX5170" : origin.Product);
    if (!origin.SerialNumber.empty())
        text += ", serial number " + OneLine(origin.SerialNumber);
    if (!origin.Version.empty())
        text += ", version " + OneLine(origin.Version);
    text += '\n';
    if (!origin.Date.empty())
        text += "# Saved " + OneLine(origin.Date) + '\n';
    text += std::string(MarkerKey) + " = " + std::to_string(SettingsFileVersion) + '\n';
    if (origin.BoardType)
        text += std::string(BoardTypeKey) + " = " + std::to_string(*origin.BoardType) + '\n';

    for (std::size_t index : ScreenOrder) {
        const SettingsField& field = SettingsFields[index];
        std::string line = std::string(field.Key) + " = " + std::to_string(settings.*field.Value);
        line.resize(std::max(line.size() + 1, CommentColumn), ' ');
        line += "# ";
        const std::string_view unit = field.Unit;
        if (unit == "%")
            line += "percent, ";
        else if (!unit.empty())
            line += std::string(unit) + ", ";
        text += line + RangeText(field) + '\n';
    }
    return text;
}

}  // namespace kx
