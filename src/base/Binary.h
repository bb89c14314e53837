#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corv {

// Little-endian reader over a byte range. Every read checks the bytes that are really
// there; a read past the end fails, leaves the output untouched and marks the reader bad.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    bool ok() const { return ok_; }
    std::size_t pos() const { return pos_; }
    std::size_t size() const { return data_.size(); }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }

    bool Has(std::size_t n) const { return ok_ && n <= remaining(); }
    bool Skip(std::size_t n);
    bool Seek(std::size_t pos);

    bool U8(std::uint8_t& v);
    bool U16(std::uint16_t& v);
    bool I16(std::int16_t& v);
    bool U32(std::uint32_t& v);
    bool I32(std::int32_t& v);
    bool F32(float& v);
    bool F64(double& v);
    bool Bytes(void* out, std::size_t n);
    // Returns a view of the next n bytes and advances; empty span (and bad reader) when short.
    std::span<const std::uint8_t> Take(std::size_t n);
    // Reads a fixed-size text buffer and returns the text up to its first NUL.
    bool FixedString(std::size_t n, std::string& out);

private:
    bool Fail() {
        ok_ = false;
        return false;
    }

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

// Little-endian writer appending to a byte vector.
class ByteWriter {
public:
    ByteWriter() = default;

    std::vector<std::uint8_t>& bytes() { return bytes_; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

    void U8(std::uint8_t v) { bytes_.push_back(v); }
    void U16(std::uint16_t v);
    void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
    void U32(std::uint32_t v);
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
    void F32(float v);
    void F64(double v);
    void Bytes(const void* data, std::size_t n);
    void Bytes(std::span<const std::uint8_t> data) { Bytes(data.data(), data.size()); }
    void Zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    // Writes text into a fixed-size buffer: truncated to n - 1 bytes, NUL padded.
    void FixedString(const std::string& text, std::size_t n);
    void PutU32At(std::size_t offset, std::uint32_t v);

private:
    std::vector<std::uint8_t> bytes_;
};

std::uint16_t LoadU16(const std::uint8_t* p);
std::uint32_t LoadU32(const std::uint8_t* p);
void StoreU16(std::uint8_t* p, std::uint16_t v);
void StoreU32(std::uint8_t* p, std::uint32_t v);

}  // namespace corv
