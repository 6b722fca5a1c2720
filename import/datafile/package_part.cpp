#include "package_part.h"

namespace DataFile {

std::optional<std::string> ReadXmlPart(
    ZipPackage &package, const std::string &name, std::size_t maxBytes, Xml::Handler &handler, Presence presence)
{
    const PartRead read = package.ReadPart(name, maxBytes);
    if (const auto *failure = std::get_if<PartFailure>(&read)) {
        return failure->Reason;
    }
    if (std::holds_alternative<MissingPart>(read)) {
        return presence == Presence::Optional ? std::nullopt : std::optional<std::string>("the package has no part " + name);
    }
    return Xml::ReadPart(std::get<std::string>(read), name, handler);
}

} // namespace DataFile
