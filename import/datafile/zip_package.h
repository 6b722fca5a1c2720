#pragma once

// The ZIP container of an Office Open XML file, read from memory. Every part is inflated
// in chunks up to a limit, whatever sizes the ZIP headers claim, so that a hostile file
// cannot make the reader allocate or inflate without bound.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <variant>

struct zip;

namespace DataFile {

struct PartFailure
{
    std::string Reason; // for the operator
};

struct MissingPart
{ };

// A part's bytes, or why it cannot be had.
using PartRead = std::variant<std::string, MissingPart, PartFailure>;

class ZipPackage
{
public:
    // Beyond any real workbook: Excel writes a handful of entries per sheet.
    static constexpr std::int64_t MaxEntries = 10000;
    // A part inflating past this many times its compressed size, once larger than
    // RatioFreeBytes, is taken for a bomb.
    static constexpr std::uint64_t MaxRatio = 100;
    static constexpr std::size_t RatioFreeBytes = 4u << 20;
    // All parts read from one package together.
    static constexpr std::size_t MaxTotalBytes = 1024u << 20;

    ZipPackage();
    ~ZipPackage();
    ZipPackage(const ZipPackage &) = delete;
    ZipPackage &operator=(const ZipPackage &) = delete;

    // Empty when opened, else why not. The bytes must outlive the package.
    std::string Open(std::span<const std::uint8_t> bytes);

    // `name` is a part name without its leading '/', matched without regard to ASCII
    // case as package part names are. Refused beyond `maxBytes` inflated.
    PartRead ReadPart(const std::string &name, std::size_t maxBytes);

private:
    struct Closer
    {
        void operator()(zip *archive) const;
    };

    PartRead Inflate(std::uint64_t index, const std::string &name, std::size_t maxBytes);

    std::unique_ptr<zip, Closer> archive;
    std::size_t packageBytes = 0;
    std::size_t inflatedBytes = 0;
};

} // namespace DataFile
