#pragma once

// The ZIP container of an Office Open XML file, read from memory. Every part is inflated
// in chunks up to a limit, whatever sizes the ZIP headers claim, so that a hostile file
// cannot make the reader allocate or inflate without bound.

#include <cstddef>
#include <cstdint>
#include <functional>
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

// How the streaming of a part ended: read to its end, or stopped by its taker (monostate),
// or why it could not be had.
using PartStream = std::variant<std::monostate, MissingPart, PartFailure>;

// Takes the next piece of a part; false stops the streaming.
using PieceTaker = std::function<bool(std::string_view piece)>;

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

    // The part's bytes as they are inflated, a piece at a time, so that no part is ever
    // held whole. `name` is a part name without its leading '/', matched without regard
    // to ASCII case as package part names are. Refused beyond `maxBytes` inflated.
    PartStream StreamPart(const std::string &name, std::size_t maxBytes, const PieceTaker &take);

private:
    struct Closer
    {
        void operator()(zip *archive) const;
    };

    PartStream Inflate(std::uint64_t index, const std::string &name, std::size_t maxBytes, const PieceTaker &take);

    std::unique_ptr<zip, Closer> archive;
    std::size_t packageBytes = 0;
    std::size_t inflatedBytes = 0;
};

} // namespace DataFile
