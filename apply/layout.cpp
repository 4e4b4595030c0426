#include "apply/layout.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "apply/number_text.h"

namespace {

// The fields promcfg-apply's items read back, each on its own device.
struct KnownField {
    const char *name;
    ItemProm device;
};

constexpr KnownField known_fields[] = {
    {"vpd-product-id", ItemProm::blade_vpd},
    {"vpd-mac-first", ItemProm::blade_vpd},
    {"vpd-mac-second", ItemProm::blade_vpd},
    {"vpd-wwn", ItemProm::blade_vpd},
    {"vpd-chassis-sn", ItemProm::blade_vpd},
    {"vpd-date-code", ItemProm::blade_vpd},
    {"vpd-clei", ItemProm::blade_vpd},
    {"vpd-hw-rev", ItemProm::blade_vpd},
    {"vpd-pos-id", ItemProm::blade_vpd},
    {"vpd-part-number", ItemProm::blade_vpd},
    {"vpd-fru-number", ItemProm::blade_vpd},
    {"vpd-manufacturer", ItemProm::blade_vpd},
    {"vpd-product-name", ItemProm::blade_vpd},
    {"vpd-part-number-copy", ItemProm::blade_vpd},
    {"ip-set", ItemProm::blade_vpd},
    {"ip-address", ItemProm::blade_vpd},
    {"ip-netmask", ItemProm::blade_vpd},
    {"ip-gateway", ItemProm::blade_vpd},
    {"kestrel-mac", ItemProm::kestrel},
    {"kestrel-chassis-sn", ItemProm::kestrel},
    {"kestrel-hw-rev", ItemProm::kestrel},
    {"kestrel-product-name", ItemProm::kestrel},
    {"kestrel-service-tag", ItemProm::kestrel},
};
constexpr std::size_t known_count = sizeof known_fields / sizeof known_fields[0];

// What promcfg dumps of each device: the blade VPD's whole address space
// (the VPD display), the Kestrel PROM's first 256 bytes (the Kestrel print).
struct Device {
    const char *name;
    ItemProm device;
    unsigned size;
};

constexpr Device devices[] = {
    {"blade", ItemProm::blade_vpd, ByteMap::address_space},
    {"kestrel", ItemProm::kestrel, 256},
};

struct Form {
    const char *name;
    FieldForm form;
    unsigned min_width, max_width;
};

constexpr unsigned width_max = 256;

constexpr Form forms[] = {
    {"text", FieldForm::text, 1, width_max},
    {"hex", FieldForm::hex, 1, width_max},
    {"dotted", FieldForm::dotted, 4, 4},
    {"le", FieldForm::le, 1, 4},
    {"be", FieldForm::be, 1, 4},
};

constexpr std::size_t line_max = 255;

const Form *form_of(FieldForm form)
{
    for (const Form &f : forms)
        if (f.form == form)
            return &f;
    return nullptr;
}

const char *device_name(ItemProm device)
{
    for (const Device &d : devices)
        if (d.device == device)
            return d.name;
    return "system";
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

// Splits `line` at blanks into at most `max` words; false when there are
// more.
bool split_words(const std::string &line, std::vector<std::string> &words, std::size_t max)
{
    words.clear();
    for (std::size_t at = 0; at < line.size();) {
        if (is_blank(line[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < line.size() && !is_blank(line[end]))
            ++end;
        if (words.size() == max)
            return false;
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return true;
}

// A decimal or 0x-hexadecimal number from 0 to `max`: digits only, no sign.
bool parse_number(const std::string &word, long long max, long long &value)
{
    if (word.empty() || word[0] < '0' || word[0] > '9')
        return false;
    if (word.size() < 2 || word[0] != '0' || word[1] != 'x')
        return parse_decimal(word.c_str(), 0, max, value);
    return word.size() <= 2 + 8 && parse_hex(word.c_str() + 2, max, value);
}

// The problem of one line, or "" with its field (if any) added to `fields`.
// `given_on` holds the line that gave each known field, 0 for none yet.
std::string parse_line(const std::string &line, unsigned long number, unsigned long given_on[],
                       std::vector<LayoutField> &fields)
{
    std::string text = line.substr(0, line.find('#'));
    for (char c : text)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r') || c == 0x7f)
            return "a control character";
    std::vector<std::string> words;
    if (!split_words(text, words, 5) || (words.size() != 0 && words.size() != 5))
        return "NAME DEVICE OFFSET WIDTH FORM expected";
    if (words.empty())
        return "";

    std::size_t known = 0;
    while (known < known_count && words[0] != known_fields[known].name)
        ++known;
    if (known == known_count)
        return "unknown field '" + words[0] + "'";
    if (given_on[known] != 0)
        return "field '" + words[0] + "' already given on line " + std::to_string(given_on[known]);

    const Device *device = nullptr;
    for (const Device &d : devices)
        if (words[1] == d.name)
            device = &d;
    if (!device)
        return "unknown device '" + words[1] + "' (blade or kestrel)";
    if (device->device != known_fields[known].device)
        return words[0] + " is a " + device_name(known_fields[known].device) + " field";

    long long offset = 0, width = 0;
    if (!parse_number(words[2], ByteMap::address_space - 1, offset))
        return "offset '" + words[2] + "' is not a number from 0 to 0xffff";
    if (!parse_decimal(words[3].c_str(), 1, width_max, width))
        return "width '" + words[3] + "' is not a number from 1 to " + std::to_string(width_max);

    const Form *form = nullptr;
    for (const Form &f : forms)
        if (words[4] == f.name)
            form = &f;
    if (!form)
        return "unknown form '" + words[4] + "' (text, hex, dotted, le or be)";
    if (width < form->min_width || width > form->max_width) {
        std::string widths = std::to_string(form->min_width);
        if (form->max_width != form->min_width)
            widths += " to " + std::to_string(form->max_width);
        return "form " + words[4] + " takes a width of " + widths;
    }
    if (offset + width > device->size)
        return "ends past the " + words[1] + "'s " + std::to_string(device->size) + " bytes";

    given_on[known] = number;
    fields.push_back({words[0], device->device, static_cast<unsigned>(offset),
                      static_cast<unsigned>(width), form->form});
    return "";
}

// The first problem of `text` and its line, or "" with `layout` replaced.
std::string parse_text(const std::string &text, Layout &layout, unsigned long &problem_line)
{
    unsigned long given_on[known_count] = {};
    std::vector<LayoutField> fields;
    std::size_t at = 0;
    for (unsigned long number = 1; at < text.size(); ++number) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        problem_line = number;
        if (end - at > line_max)
            return "more than " + std::to_string(line_max) + " characters";
        std::string why = parse_line(text.substr(at, end - at), number, given_on, fields);
        if (!why.empty())
            return why;
        at = end + 1;
    }
    layout.fields.swap(fields);
    return "";
}

// Reads the regular file `path` into `text`, or says why not.
std::string read_file(const std::string &path, std::string &text)
{
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::string("cannot be opened: ") + strerror(errno);
    struct stat about = {};
    std::string why;
    if (fstat(fd, &about) != 0)
        why = std::string("cannot be read: ") + strerror(errno);
    else if (!S_ISREG(about.st_mode))
        why = "is not a regular file";
    char buffer[4096];
    while (why.empty()) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            why = std::string("cannot be read: ") + strerror(errno);
        else if (n == 0)
            break;
        // Checked as it is read: the file may grow after fstat.
        else if (static_cast<std::size_t>(n) > layout_file_max - text.size())
            why = "is larger than " + std::to_string(layout_file_max / 1024) + " KiB";
        else
            text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return why;
}

bool exists(const std::string &path)
{
    struct stat about;
    return stat(path.c_str(), &about) == 0;
}

}  // namespace

const LayoutField *Layout::find(const char *name) const
{
    for (const LayoutField &field : fields)
        if (field.name == name)
            return &field;
    return nullptr;
}

std::string parse_layout(const std::string &text, Layout &layout)
{
    unsigned long line = 0;
    std::string why = parse_text(text, layout, line);
    return why.empty() ? why : "line " + std::to_string(line) + ": " + why;
}

std::string load_layout(const std::string &path, Layout &layout)
{
    std::string text;
    std::string why = read_file(path, text);
    if (!why.empty())
        return path + ": " + why;
    unsigned long line = 0;
    why = parse_text(text, layout, line);
    return why.empty() ? why : path + ":" + std::to_string(line) + ": " + why;
}

std::string default_layout_path()
{
    char program[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", program, sizeof program);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof program)
        return "";
    std::string dir(program, static_cast<std::size_t>(n));
    std::size_t slash = dir.rfind('/');
    if (slash == std::string::npos)
        return "";
    dir.resize(slash);
    for (const char *beside : {"/promcfg-apply.layout", "/../share/promcfg/promcfg-apply.layout"})
        if (exists(dir + beside))
            return dir + beside;
    return "";
}

bool field_value(const LayoutField &field, const ByteMap &bytes, std::string &value)
{
    const Form *form = form_of(field.form);
    if (!form || field.width < form->min_width || field.width > form->max_width ||
        field.offset >= ByteMap::address_space || field.width > ByteMap::address_space - field.offset)
        return false;
    unsigned char read[width_max];
    for (unsigned i = 0; i < field.width; ++i)
        if (!bytes.get(field.offset + i, read[i]))
            return false;

    std::string text;
    unsigned long number = 0;
    switch (field.form) {
    case FieldForm::text:
        text.assign(reinterpret_cast<const char *>(read),
                    static_cast<std::size_t>(std::find(read, read + field.width, 0) - read));
        break;
    case FieldForm::hex:
        for (unsigned i = 0; i < field.width; ++i) {
            text += "0123456789abcdef"[read[i] >> 4];
            text += "0123456789abcdef"[read[i] & 0xf];
        }
        break;
    case FieldForm::dotted:
        for (unsigned i = 0; i < field.width; ++i)
            text += (i == 0 ? "" : ".") + std::to_string(read[i]);
        break;
    case FieldForm::le:
        for (unsigned i = field.width; i-- > 0;)
            number = number << 8 | read[i];
        text = std::to_string(number);
        break;
    case FieldForm::be:
        for (unsigned i = 0; i < field.width; ++i)
            number = number << 8 | read[i];
        text = std::to_string(number);
        break;
    }
    value = text;
    return true;
}

std::vector<ByteRange> blade_ranges(const Layout &layout)
{
    std::vector<ByteRange> fields;
    for (const LayoutField &field : layout.fields)
        if (field.device == ItemProm::blade_vpd && field.width > 0 && field.offset < ByteMap::address_space &&
            field.width <= ByteMap::address_space - field.offset)
            fields.push_back({field.offset, field.width});
    // A layout names a few dozen fields: an insertion sort will do.
    for (std::size_t i = 1; i < fields.size(); ++i)
        for (std::size_t j = i; j > 0 && fields[j - 1].offset > fields[j].offset; --j)
            std::swap(fields[j - 1], fields[j]);
    std::vector<ByteRange> merged;
    for (const ByteRange &range : fields) {
        if (!merged.empty() && range.offset <= merged.back().offset + merged.back().length) {
            unsigned end = std::max(merged.back().offset + merged.back().length, range.offset + range.length);
            merged.back().length = end - merged.back().offset;
        } else {
            merged.push_back(range);
        }
    }
    return merged;
}
