#include "xml_part.h"

#include <expat.h>

#include <array>
#include <exception>
#include <memory>

namespace DataFile::Xml {

namespace {

// Expat writes an element's name as "URI<separator>local"; URIs hold no space.
constexpr char Separator = ' ';

struct KnownNamespace
{
    std::string_view Uri;
    Namespace Space;
};

constexpr std::array KnownNamespaces {
    KnownNamespace {"http://schemas.openxmlformats.org/spreadsheetml/2006/main", Namespace::Main},
    KnownNamespace {"http://purl.oclc.org/ooxml/spreadsheetml/main", Namespace::Main},
    KnownNamespace {"http://schemas.openxmlformats.org/officeDocument/2006/relationships", Namespace::Relationships},
    KnownNamespace {"http://purl.oclc.org/ooxml/officeDocument/relationships", Namespace::Relationships},
    KnownNamespace {"http://schemas.openxmlformats.org/package/2006/relationships", Namespace::Package},
};

struct ParserDeleter
{
    void operator()(XML_ParserStruct *parser) const { XML_ParserFree(parser); }
};

// What the callbacks share. Nothing may be thrown through expat's C frames: a failure in a
// handler stops the parser and is kept here.
struct Session
{
    XML_Parser Parser = nullptr;
    Handler *Target = nullptr;
    std::string PartName;
    std::string Failure;

    void Stop(std::string failure)
    {
        if (Failure.empty()) {
            Failure = std::move(failure);
        }
        XML_StopParser(Parser, XML_FALSE);
    }

    template<typename Call>
    void Guarded(Call call)
    {
        if (!Failure.empty()) {
            return;
        }
        try {
            call();
        } catch (const std::exception &) {
            Stop("the part " + PartName + " is too large to read");
        }
    }
};

void OnStart(void *data, const XML_Char *name, const XML_Char **attributes)
{
    auto &session = *static_cast<Session *>(data);
    session.Guarded([&] { session.Target->Start(NameOf(name), Attributes(attributes)); });
}

void OnEnd(void *data, const XML_Char *name)
{
    auto &session = *static_cast<Session *>(data);
    session.Guarded([&] { session.Target->End(NameOf(name)); });
}

void OnText(void *data, const XML_Char *text, int length)
{
    auto &session = *static_cast<Session *>(data);
    session.Guarded([&] { session.Target->Text(std::string_view(text, static_cast<std::size_t>(length))); });
}

void OnDoctype(void *data, const XML_Char *, const XML_Char *, const XML_Char *, int)
{
    auto &session = *static_cast<Session *>(data);
    session.Stop("the part " + session.PartName + " declares a document type, which a workbook never does");
}

std::string NotWellFormed(const Session &session)
{
    return "the part " + session.PartName + " is not well-formed XML (line "
        + std::to_string(XML_GetCurrentLineNumber(session.Parser)) + ")";
}

} // namespace

Name NameOf(std::string_view expandedName)
{
    const std::size_t separator = expandedName.rfind(Separator);
    if (separator == std::string_view::npos) {
        return {Namespace::None, expandedName};
    }
    const std::string_view uri = expandedName.substr(0, separator);
    Name name {Namespace::Other, expandedName.substr(separator + 1)};
    for (const KnownNamespace &known : KnownNamespaces) {
        if (known.Uri == uri) {
            name.Space = known.Space;
        }
    }
    return name;
}

std::optional<std::string_view> Attributes::Value(Namespace space, std::string_view local) const
{
    for (const char **pair = pairs; pair[0] && pair[1]; pair += 2) {
        if (NameOf(pair[0]).Is(space, local)) {
            return std::string_view(pair[1]);
        }
    }
    return std::nullopt;
}

std::optional<std::string> ReadPart(std::string_view bytes, const std::string &partName, Handler &handler)
{
    const std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreateNS(nullptr, Separator));
    if (!parser) {
        return "out of memory reading the part " + partName;
    }
    Session session {parser.get(), &handler, partName, {}};
    XML_SetUserData(parser.get(), &session);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);

    // XML_Parse takes an int length: larger parts go in pieces.
    constexpr std::size_t PieceBytes = 1u << 24;
    do {
        const std::string_view piece = bytes.substr(0, PieceBytes);
        bytes.remove_prefix(piece.size());
        const XML_Bool last = bytes.empty() ? XML_TRUE : XML_FALSE;
        if (XML_Parse(parser.get(), piece.data(), static_cast<int>(piece.size()), last) != XML_STATUS_OK) {
            return session.Failure.empty() ? NotWellFormed(session) : session.Failure;
        }
    } while (!bytes.empty());
    return std::nullopt;
}

} // namespace DataFile::Xml
