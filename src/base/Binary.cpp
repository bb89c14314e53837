#include "base/Binary.h"

#include <bit>
#include <cstring>

namespace corv {

std::uint16_t LoadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t LoadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void StoreU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void StoreU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

bool ByteReader::Skip(std::size_t n) {
    if (!Has(n)) {
        return Fail();
    }
    pos_ += n;
    return true;
}

bool ByteReader::Seek(std::size_t pos) {
    if (!ok_ || pos > data_.size()) {
        return Fail();
    }
    pos_ = pos;
    return true;
}

bool ByteReader::U8(std::uint8_t& v) {
    if (!Has(1)) {
        return Fail();
    }
    v = data_[pos_++];
    return true;
}

bool ByteReader::U16(std::uint16_t& v) {
    if (!Has(2)) {
        return Fail();
    }
    v = LoadU16(data_.data() + pos_);
    pos_ += 2;
    return true;
}

bool ByteReader::I16(std::int16_t& v) {
    std::uint16_t u = 0;
    if (!U16(u)) {
        return false;
    }
    v = static_cast<std::int16_t>(u);
    return true;
}

bool ByteReader::U32(std::uint32_t& v) {
    if (!Has(4)) {
        return Fail();
    }
    v = LoadU32(data_.data() + pos_);
    pos_ += 4;
    return true;
}

bool ByteReader::I32(std::int32_t& v) {
    std::uint32_t u = 0;
    if (!U32(u)) {
        return false;
    }
    v = static_cast<std::int32_t>(u);
    return true;
}

bool ByteReader::F32(float& v) {
    std::uint32_t u = 0;
    if (!U32(u)) {
        return false;
    }
    v = std::bit_cast<float>(u);
    return true;
}

bool ByteReader::F64(double& v) {
    if (!Has(8)) {
        return Fail();
    }
    std::uint64_t u = static_cast<std::uint64_t>(LoadU32(data_.data() + pos_)) |
                      (static_cast<std::uint64_t>(LoadU32(data_.data() + pos_ + 4)) << 32);
    pos_ += 8;
    v = std::bit_cast<double>(u);
    return true;
}

bool ByteReader::Bytes(void* out, std::size_t n) {
    if (!Has(n)) {
        return Fail();
    }
    if (n > 0) {
        std::memcpy(out, data_.data() + pos_, n);
    }
    pos_ += n;
    return true;
}

std::span<const std::uint8_t> ByteReader::Take(std::size_t n) {
    if (!Has(n)) {
        Fail();
        return {};
    }
    auto s = data_.subspan(pos_, n);
    pos_ += n;
    return s;
}

bool ByteReader::FixedString(std::size_t n, std::string& out) {
    auto s = Take(n);
    if (!ok_) {
        return false;
    }
    std::size_t len = 0;
    while (len < s.size() && s[len] != 0) {
        ++len;
    }
    out.assign(reinterpret_cast<const char*>(s.data()), len);
    return true;
}

void ByteWriter::U16(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

void ByteWriter::F32(float v) {
    U32(std::bit_cast<std::uint32_t>(v));
}

void ByteWriter::F64(double v) {
    auto u = std::bit_cast<std::uint64_t>(v);
    U32(static_cast<std::uint32_t>(u));
    U32(static_cast<std::uint32_t>(u >> 32));
}

void ByteWriter::Bytes(const void* data, std::size_t n) {
    auto p = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + n);
}

void ByteWriter::FixedString(const std::string& text, std::size_t n) {
    if (n == 0) {
        return;
    }
    std::size_t len = std::min(text.size(), n - 1);
    Bytes(text.data(), len);
    Zeros(n - len);
}

void ByteWriter::PutU32At(std::size_t offset, std::uint32_t v) {
    if (offset + 4 <= bytes_.size()) {
        StoreU32(bytes_.data() + offset, v);
    }
}

}  // namespace corv
