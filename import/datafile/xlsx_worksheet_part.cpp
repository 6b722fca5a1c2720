#include "xlsx_worksheet_part.h"

#include "package_part.h"
#include "xlsx_cell_values.h"
#include "xlsx_text.h"

namespace DataFile {

namespace {

// A full 65,536 x 256 sheet of numbers is some 600 MB of XML; no log comes near this.
constexpr std::size_t MaxWorksheetBytes = 256u << 20;

// One `<c>` as read so far.
struct CellElement
{
    CellPosition Position;
    std::string Type;
    bool HasFormula = false;
    bool HasValue = false;
    bool HasInlineText = false;
    std::string Value; // the `<v>` text
    std::string InlineText; // decoded
};

class WorksheetReader final : public Xml::Handler
{
public:
    WorksheetReader(const SharedStrings &strings, bool dates1904, CellTable &sheet)
        : strings(strings)
        , dates1904(dates1904)
        , sheet(sheet)
    { }

    void Start(const Xml::Name &name, const Xml::Attributes &attributes) override;
    void End(const Xml::Name &name) override;
    void Text(std::string_view text) override;

private:
    enum class Place { Outside, Cell, Value, InlineString };

    void StartRow(const Xml::Attributes &attributes);
    void StartCell(const Xml::Attributes &attributes);
    void AddCell();
    void AddText(std::string_view text);
    void AddNumber(double number, CellKind constantKind);

    const SharedStrings &strings;
    bool dates1904;
    CellTable &sheet;
    Place place = Place::Outside;
    int row = -1; // of the latest `<row>`
    int column = -1; // of the latest `<c>` in that row
    CellElement cell;
    StringItemText inlineText;
};

void WorksheetReader::Start(const Xml::Name &name, const Xml::Attributes &attributes)
{
    if (place == Place::InlineString) {
        inlineText.Start(name);
        return;
    }
    if (name.Space != Xml::Namespace::Main) {
        return;
    }
    if (name.Local == "row") {
        StartRow(attributes);
    } else if (name.Local == "c") {
        StartCell(attributes);
    } else if (place != Place::Cell) {
        return;
    } else if (name.Local == "v") {
        cell.HasValue = true;
        place = Place::Value;
    } else if (name.Local == "f") {
        cell.HasFormula = true;
    } else if (name.Local == "is") {
        cell.HasInlineText = true;
        place = Place::InlineString;
    }
}

void WorksheetReader::End(const Xml::Name &name)
{
    const bool main = name.Space == Xml::Namespace::Main;
    if (place == Place::InlineString) {
        if (main && name.Local == "is") {
            cell.InlineText = inlineText.Take();
            place = Place::Cell;
        } else {
            inlineText.End(name);
        }
    } else if (place == Place::Value && main && name.Local == "v") {
        place = Place::Cell;
    } else if (place == Place::Cell && main && name.Local == "c") {
        AddCell();
        place = Place::Outside;
    }
}

void WorksheetReader::Text(std::string_view text)
{
    if (place == Place::Value) {
        cell.Value += text;
    } else if (place == Place::InlineString) {
        inlineText.Text(text);
    }
}

// A row without `r` follows the one before.
void WorksheetReader::StartRow(const Xml::Attributes &attributes)
{
    const auto number = attributes.Value(Xml::Namespace::None, "r");
    const auto parsed = number ? ParseRowNumber(*number) : std::nullopt;
    row = parsed.value_or(row + 1);
    column = -1;
}

// A cell without `r` follows the one before in its row.
void WorksheetReader::StartCell(const Xml::Attributes &attributes)
{
    const auto reference = attributes.Value(Xml::Namespace::None, "r");
    const auto parsed = reference ? ParseCellReference(*reference) : std::nullopt;
    cell = {};
    cell.Position = parsed.value_or(CellPosition {std::max(row, 0), column + 1});
    cell.Type = attributes.Value(Xml::Namespace::None, "t").value_or("n");
    column = cell.Position.Column;
    place = Place::Cell;
}

void WorksheetReader::AddCell()
{
    const std::string &type = cell.Type;
    if (type == "inlineStr" && cell.HasInlineText) {
        AddText(cell.InlineText);
        return;
    }
    if (!cell.HasValue) {
        return; // a blank with a style, or a formula never calculated
    }
    if (type == "n") {
        if (const auto number = ParseNumber(cell.Value)) {
            AddNumber(*number, CellKind::Real);
        }
    } else if (type == "s") {
        const auto index = ParseIndex(cell.Value);
        if (const auto text = index ? strings.At(*index) : std::nullopt) {
            AddText(*text);
        }
    } else if (type == "str") {
        AddText(DecodedXstring(cell.Value));
    } else if (type == "b") {
        if (const auto number = ParseNumber(cell.Value)) {
            AddNumber(*number != 0 ? 1 : 0, CellKind::Integer);
        }
    } else if (type == "d") {
        if (const auto serial = IsoDateSerial(cell.Value, dates1904)) {
            AddNumber(*serial, CellKind::Real);
        }
    } else if (type == "e") {
        // No value, but the sheet reaches that far, as an error cell of a .xls sheet does.
        sheet.AddNumber(cell.Position.Row, cell.Position.Column, 0, CellKind::Empty);
    }
}

void WorksheetReader::AddText(std::string_view text)
{
    sheet.AddText(cell.Position.Row, cell.Position.Column, text,
        cell.HasFormula ? CellKind::FormulaResult : CellKind::Text16);
}

void WorksheetReader::AddNumber(double number, CellKind constantKind)
{
    sheet.AddNumber(cell.Position.Row, cell.Position.Column, number,
        cell.HasFormula ? CellKind::FormulaResult : constantKind);
}

} // namespace

std::optional<std::string> ReadWorksheetPart(ZipPackage &package, const std::string &partName,
    const SharedStrings &strings, bool dates1904, CellTable &sheet)
{
    WorksheetReader reader(strings, dates1904, sheet);
    return ReadXmlPart(package, partName, MaxWorksheetBytes, reader, Presence::Required);
}

} // namespace DataFile
