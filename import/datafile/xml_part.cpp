#include "xml_part.h"

#include <expat.h>

#include <algorithm>
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

struct PartReader::State
{
    std::unique_ptr<XML_ParserStruct, ParserDeleter> Parser;
    Session Callbacks; // where expat's user data points: it stays in place
    bool Failed = false;

    bool Parse(const char *bytes, std::size_t size, XML_Bool last)
    {
        if (!Failed && XML_Parse(Parser.get(), bytes, static_cast<int>(size), last) != XML_STATUS_OK) {
            Failed = true;
        }
        return !Failed;
    }
};

PartReader::PartReader(const std::string &partName, Handler &handler)
    : state(std::make_unique<State>())
{
    state->Parser.reset(XML_ParserCreateNS(nullptr, Separator));
    state->Callbacks = {state->Parser.get(), &handler, partName, {}};
    if (!state->Parser) {
        state->Callbacks.Failure = "out of memory reading the part " + partName;
        state->Failed = true;
        return;
    }
    XML_Parser parser = state->Parser.get();
    XML_SetUserData(parser, &state->Callbacks);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnText);
    XML_SetStartDoctypeDeclHandler(parser, OnDoctype);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
}

PartReader::~PartReader() = default;

bool PartReader::Feed(std::string_view piece)
{
    // XML_Parse takes an int length: a larger piece goes in parts.
    constexpr std::size_t MostBytes = 1u << 24;
    for (; !piece.empty(); piece.remove_prefix(std::min(piece.size(), MostBytes))) {
        if (!state->Parse(piece.data(), std::min(piece.size(), MostBytes), XML_FALSE)) {
            return false;
        }
    }
    return !state->Failed;
}

std::optional<std::string> PartReader::Finish()
{
    if (state->Parse(nullptr, 0, XML_TRUE)) {
        return std::nullopt;
    }
    const Session &session = state->Callbacks;
    return session.Failure.empty() ? NotWellFormed(session) : session.Failure;
}

} // namespace DataFile::Xml
