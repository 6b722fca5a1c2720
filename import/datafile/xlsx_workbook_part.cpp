#include "xlsx_workbook_part.h"

#include "package_part.h"

namespace DataFile {

namespace {

// Defined names and custom views make the part grow, never to this.
constexpr std::size_t MaxWorkbookPartBytes = 64u << 20;

class WorkbookPartReader final : public Xml::Handler
{
public:
    void Start(const Xml::Name &name, const Xml::Attributes &attributes) override
    {
        if (name.Is(Xml::Namespace::Main, "sheet")) {
            read.Sheets.push_back({std::string(attributes.Value(Xml::Namespace::None, "name").value_or("")),
                std::string(attributes.Value(Xml::Namespace::Relationships, "id").value_or(""))});
        } else if (name.Is(Xml::Namespace::Main, "workbookPr")) {
            const auto date1904 = attributes.Value(Xml::Namespace::None, "date1904");
            read.Uses1904Dates = date1904 == "1" || date1904 == "true";
        }
    }
    void End(const Xml::Name &) override { }

    WorkbookPart read;
};

} // namespace

std::variant<WorkbookPart, PartFailure> ReadWorkbookPart(ZipPackage &package, const std::string &partName)
{
    WorkbookPartReader reader;
    if (auto failure = ReadXmlPart(package, partName, MaxWorkbookPartBytes, reader, Presence::Required)) {
        return PartFailure {std::move(*failure)};
    }
    return std::move(reader.read);
}

} // namespace DataFile
