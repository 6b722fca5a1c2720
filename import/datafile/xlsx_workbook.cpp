#include "xlsx_workbook.h"

#include "cell_table.h"
#include "package_relationships.h"
#include "xlsx_shared_strings.h"
#include "xlsx_workbook_part.h"
#include "xlsx_worksheet_part.h"

#include <exception>

namespace DataFile {

namespace {

OpenResult Failed(std::string failure)
{
    return {nullptr, std::move(failure)};
}

// The part a relationship of `sourcePart` names, refused when it lies outside the package.
std::variant<std::string, PartFailure> TargetPart(const std::string &sourcePart, const Relationship &relationship)
{
    if (auto part = ResolveTarget(sourcePart, relationship.Target)) {
        return std::move(*part);
    }
    return PartFailure {"a relationship of the package points outside it (" + relationship.Target + ")"};
}

std::variant<std::string, PartFailure> WorkbookPartName(ZipPackage &package)
{
    auto root = ReadRelationships(package, "");
    if (auto *failure = std::get_if<PartFailure>(&root)) {
        return std::move(*failure);
    }
    const Relationship *document = std::get<PartRelationships>(root).OfType("officeDocument");
    if (!document) {
        return PartFailure {"the package has no workbook part"};
    }
    return TargetPart("", *document);
}

// Empty when the strings were read or the workbook has none.
std::optional<std::string> ReadWorkbookStrings(ZipPackage &package, const std::string &workbookPart,
    const PartRelationships &relationships, SharedStrings &strings)
{
    const Relationship *shared = relationships.OfType("sharedStrings");
    if (!shared) {
        return std::nullopt;
    }
    auto part = TargetPart(workbookPart, *shared);
    if (auto *failure = std::get_if<PartFailure>(&part)) {
        return failure->Reason;
    }
    return ReadSharedStrings(package, std::get<std::string>(part), strings);
}

// Empty when the sheet was added, or skipped as no worksheet: a chart sheet, or a sheet
// without a relationship (Excel lists old macro modules so, tidyxl__enron-nested.xlsx).
std::optional<std::string> ReadSheet(ZipPackage &package, const std::string &workbookPart,
    const PartRelationships &relationships, const SheetEntry &entry, const SharedStrings &strings,
    TableWorkbook &book)
{
    const Relationship *relationship = relationships.WithId(entry.RelationshipId);
    if (!relationship || relationship->External) {
        return std::nullopt;
    }
    if (IsRelationshipType(relationship->Type, "dialogsheet")) {
        book.AddSheet(entry.Name).Finish(); // a form: a worksheet without cells
        return std::nullopt;
    }
    if (!IsRelationshipType(relationship->Type, "worksheet")) {
        return std::nullopt;
    }
    auto part = TargetPart(workbookPart, *relationship);
    if (auto *failure = std::get_if<PartFailure>(&part)) {
        return failure->Reason;
    }
    CellTable &sheet = book.AddSheet(entry.Name);
    auto failure = ReadWorksheetPart(package, std::get<std::string>(part), strings, book.Uses1904Dates(), sheet);
    sheet.Finish();
    return failure;
}

OpenResult ReadWorkbook(ZipPackage &package, const std::string &workbookName)
{
    auto workbook = ReadWorkbookPart(package, workbookName);
    if (auto *failure = std::get_if<PartFailure>(&workbook)) {
        return Failed(std::move(failure->Reason));
    }
    auto relationships = ReadRelationships(package, workbookName);
    if (auto *failure = std::get_if<PartFailure>(&relationships)) {
        return Failed(std::move(failure->Reason));
    }
    const PartRelationships &related = std::get<PartRelationships>(relationships);
    SharedStrings strings;
    if (auto failure = ReadWorkbookStrings(package, workbookName, related, strings)) {
        return Failed(std::move(*failure));
    }
    auto book = std::make_unique<TableWorkbook>();
    book->SetUses1904Dates(std::get<WorkbookPart>(workbook).Uses1904Dates);
    for (const SheetEntry &entry : std::get<WorkbookPart>(workbook).Sheets) {
        if (auto failure = ReadSheet(package, workbookName, related, entry, strings, *book)) {
            return Failed(std::move(*failure));
        }
    }
    if (book->SheetCount() == 0) {
        return Failed("the workbook has no worksheet");
    }
    return {std::move(book), {}};
}

OpenResult ReadPackage(std::span<const std::uint8_t> bytes)
{
    ZipPackage package;
    if (std::string failure = package.Open(bytes); !failure.empty()) {
        return Failed(std::move(failure));
    }
    auto workbookName = WorkbookPartName(package);
    if (auto *failure = std::get_if<PartFailure>(&workbookName)) {
        return Failed(std::move(failure->Reason));
    }
    return ReadWorkbook(package, std::get<std::string>(workbookName));
}

} // namespace

OpenResult ReadXlsxWorkbook(std::span<const std::uint8_t> bytes)
{
    try {
        return ReadPackage(bytes);
    } catch (const std::exception &) { // out of memory: the file is beyond what can be held
        return Failed("the workbook is too large to read");
    }
}

} // namespace DataFile
