#include "zip_package.h"

#include <zip.h>

#include <algorithm>

namespace DataFile {

namespace {

constexpr std::size_t ChunkBytes = 64u << 10;

std::string ZipErrorText(zip_error_t &error)
{
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

std::string MebibytesText(std::size_t bytes)
{
    return std::to_string(bytes >> 20) + " MiB";
}

} // namespace

void ZipPackage::Closer::operator()(zip *opened) const
{
    zip_discard(opened); // read only: nothing to write back
}

ZipPackage::ZipPackage() = default;
ZipPackage::~ZipPackage() = default;

std::string ZipPackage::Open(std::span<const std::uint8_t> bytes)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!source) {
        return "the ZIP package cannot be read: " + ZipErrorText(error);
    }
    zip *opened = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!opened) {
        zip_source_free(source);
        return "not a readable ZIP package: " + ZipErrorText(error);
    }
    zip_error_fini(&error);
    archive.reset(opened);
    packageBytes = bytes.size();
    if (zip_get_num_entries(opened, 0) > MaxEntries) {
        archive.reset();
        return "the package holds more than " + std::to_string(MaxEntries) + " entries";
    }
    return {};
}

PartStream ZipPackage::StreamPart(const std::string &name, std::size_t maxBytes, const PieceTaker &take)
{
    if (!archive) {
        return MissingPart {};
    }
    const zip_int64_t index = zip_name_locate(archive.get(), name.c_str(), ZIP_FL_NOCASE);
    if (index < 0) {
        return MissingPart {};
    }
    return Inflate(static_cast<std::uint64_t>(index), name, maxBytes, take);
}

PartStream ZipPackage::Inflate(std::uint64_t index, const std::string &name, std::size_t maxBytes, const PieceTaker &take)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive.get(), index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_COMP_SIZE)) {
        return PartFailure {"the part " + name + " cannot be read"};
    }
    // The header's compressed size is a claim; the package's own size is not.
    const std::uint64_t compressed = std::min<std::uint64_t>(stat.comp_size, packageBytes);
    zip_file_t *file = zip_fopen_index(archive.get(), index, 0);
    if (!file) {
        return PartFailure {"the part " + name + " cannot be read: " + zip_strerror(archive.get())};
    }
    std::size_t inflated = 0;
    std::string failure;
    char chunk[ChunkBytes];
    for (;;) {
        const zip_int64_t got = zip_fread(file, chunk, sizeof chunk);
        if (got < 0) {
            failure = "the part " + name + " is damaged: " + zip_file_strerror(file);
            break;
        }
        if (got == 0) {
            break;
        }
        inflated += static_cast<std::size_t>(got);
        if (inflated > maxBytes) {
            failure = "a part is larger than " + MebibytesText(maxBytes) + " when inflated";
            break;
        }
        if (inflated > RatioFreeBytes && inflated / MaxRatio > compressed) {
            failure = "the part " + name + " inflates more than " + std::to_string(MaxRatio)
                + " times its compressed size";
            break;
        }
        if (inflatedBytes + inflated > MaxTotalBytes) {
            failure = "the package inflates to more than " + MebibytesText(MaxTotalBytes);
            break;
        }
        if (!take(std::string_view(chunk, static_cast<std::size_t>(got)))) {
            break;
        }
    }
    zip_fclose(file);
    inflatedBytes += inflated;
    if (!failure.empty()) {
        return PartFailure {std::move(failure)};
    }
    return std::monostate {};
}

} // namespace DataFile
