#include "package_part.h"

namespace DataFile {

std::optional<std::string> ReadXmlPart(
    ZipPackage &package, const std::string &name, std::size_t maxBytes, Xml::Handler &handler, Presence presence)
{
    Xml::PartReader reader(name, handler);
    const PartStream streamed
        = package.StreamPart(name, maxBytes, [&reader](std::string_view piece) { return reader.Feed(piece); });
    if (const auto *failure = std::get_if<PartFailure>(&streamed)) {
        return failure->Reason;
    }
    if (std::holds_alternative<MissingPart>(streamed)) {
        return presence == Presence::Optional ? std::nullopt : std::optional<std::string>("the package has no part " + name);
    }
    return reader.Finish();
}

} // namespace DataFile
