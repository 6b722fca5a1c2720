#include "xlsx_shared_strings.h"

#include "package_part.h"
#include "xlsx_text.h"

namespace DataFile {

namespace {

constexpr std::size_t MaxSharedStringBytes = 128u << 20;

class SharedStringReader final : public Xml::Handler
{
public:
    explicit SharedStringReader(SharedStrings &strings)
        : strings(strings)
    { }

    void Start(const Xml::Name &name, const Xml::Attributes &) override
    {
        if (name.Is(Xml::Namespace::Main, "si")) {
            inItem = true;
        } else if (inItem) {
            item.Start(name);
        }
    }
    void End(const Xml::Name &name) override
    {
        if (name.Is(Xml::Namespace::Main, "si")) {
            strings.Add(item.Take());
            inItem = false;
        } else if (inItem) {
            item.End(name);
        }
    }
    void Text(std::string_view text) override { item.Text(text); }

private:
    SharedStrings &strings;
    StringItemText item;
    bool inItem = false;
};

} // namespace

void SharedStrings::Add(std::string_view text)
{
    pool += text;
    ends.push_back(pool.size());
}

std::optional<std::string_view> SharedStrings::At(std::size_t index) const
{
    if (index >= ends.size()) {
        return std::nullopt;
    }
    const std::size_t start = index == 0 ? 0 : ends[index - 1];
    return std::string_view(pool).substr(start, ends[index] - start);
}

std::optional<std::string> ReadSharedStrings(ZipPackage &package, const std::string &partName, SharedStrings &strings)
{
    SharedStringReader reader(strings);
    return ReadXmlPart(package, partName, MaxSharedStringBytes, reader, Presence::Optional);
}

} // namespace DataFile
