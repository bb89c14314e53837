#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Result.h"
#include "lang/Language.h"

namespace corv::net {

// How a controller takes its channels.
enum class Protocol { E131, ArtNet, Ddp };

// The name a protocol has in the file ("e131", "artnet", "ddp") and its default port.
const char* ProtocolName(Protocol protocol);
std::uint16_t DefaultPort(Protocol protocol);
// The universes a protocol numbers: E1.31 1..63999, Art-Net 0..32767 (the 15-bit port
// address); DDP has none (0..0).
int FirstUniverse(Protocol protocol);
int LastUniverse(Protocol protocol);

// One networked pixel controller: a section [ControllerN] of the network description.
//
// Its channels are the LEDs of its lines, one line after another in line-number order, each
// line's LEDs in wiring order, each LED's colour components in its lamp type's pin order (see
// ChannelLayout.h). E1.31 and Art-Net cut them into universes of `channelsPerUniverse`
// channels numbered from `universe` (with `lineStartsUniverse` every line starts a new
// universe); DDP sends them as one byte stream (universe and channels per universe unused).
//
// `sync`: after each frame, E1.31 sends a synchronisation packet on the controller's first
// universe (which its data packets name as their synchronisation universe), Art-Net an
// ArtSync. DDP ends every frame with the push flag whatever it says.
struct NetController {
    std::string section;  // as the file names it ("Controller1")
    Protocol protocol = Protocol::E131;
    std::string address;  // IPv4, unicast; may be empty for E1.31 multicast
    std::uint16_t port = 5568;
    bool multicast = false;  // E1.31 only: to 239.255.hi.lo of each universe
    std::vector<int> lines;  // 1-based, ascending, each once
    int universe = 1;
    int channelsPerUniverse = 510;
    bool lineStartsUniverse = false;
    int priority = 100;      // E1.31, 0..200
    std::string sourceName;  // E1.31, at most 63 bytes; empty: the sender's own name
    bool sync = false;

    friend bool operator==(const NetController&, const NetController&) = default;
};

struct NetworkDescription {
    std::vector<NetController> controllers;  // in section-number order

    friend bool operator==(const NetworkDescription&, const NetworkDescription&) = default;
};

// The refusals of the reader and the writer (Failure::code).
enum NetFileError : int {
    kNetCannotRead = 1,    // the file cannot be read
    kNetNotProfile = 2,    // not INI text
    kNetNoControllers = 3,  // no section at all
    kNetBadSection = 4,    // a section not named ControllerN, or one named twice
    kNetUnknownKey = 5,    // a key no controller has
    kNetMissingKey = 6,    // Protocol, Lines, or Address (unless multicast) left out
    kNetBadValue = 7,      // a value outside what its key allows
};

// Reads a network description. Sections are [Controller1], [Controller2], ... (any numbers
// from 1, each once, taken in number order); keys and protocol names compare
// case-insensitively. Any bad section, key or value refuses the whole file with a message
// in `language` naming the file, section, key and the values allowed.
Result<NetworkDescription> ReadNetworkFile(const std::filesystem::path& path, std::uint8_t language);

// Writes a description as [Controller1], [Controller2], ... in its order (the controllers'
// `section` names are not written), every key spelt out, through a temporary file and a
// rename. A controller the reader would refuse is refused first (nothing written), with the
// reader's message in `language`.
Result<Done> WriteNetworkFile(const std::filesystem::path& path, const NetworkDescription& description,
                              std::uint8_t language = kLanguageEnglish);

// Lines as the file writes them: runs as "a-b", others alone, "1-4,7".
std::string FormatLines(const std::vector<int>& lines);
// "1-4, 7" -> 1 2 3 4 7: numbers and ranges a-b (a <= b) from 1 to 256, separated by commas,
// blanks allowed around them; the result ascending, each line once. Empty text is refused.
Result<std::vector<int>> ParseLines(const std::string& text);

// What in a description is likely a mistake but still sends: two controllers claiming the
// same line, two controllers sending the same first universe to the same place (same
// protocol, address and port, or both by multicast), two DDP controllers sending to the same
// address and port. One message a pair, in `language`.
std::vector<std::string> DescriptionWarnings(const NetworkDescription& description, std::uint8_t language);

}  // namespace corv::net
