#pragma once

#include "base/Text.h"

// Live output to networked pixel controllers: the network description file (NAME.net), the
// controllers' channels and the warnings about a description.

namespace corv::msg::net {

// Reading the file: %1 is the file as the user named it.
inline constexpr Text kCannotRead{"无法读取网络描述文件: %1", "Cannot read the network description: %1"};
inline constexpr Text kNotNetworkFile{"%1 不是网络描述文件 (应为含有 [Controller1]、[Controller2] ... 各节的 INI 文本)",
                                      "%1 is not a network description (INI text with sections [Controller1], "
                                      "[Controller2], ...)"};
inline constexpr Text kNoControllers{"%1 中没有控制器: 请加入 [Controller1] 一节",
                                     "%1 lists no controller: add a section [Controller1]"};
// %1 the file, %2 the section.
inline constexpr Text kBadSection{"%1: 节 [%2] 不是控制器; 允许的节名: [Controller1]、[Controller2] ...",
                                  "%1: section [%2] is not a controller; allowed section names: [Controller1], "
                                  "[Controller2], ..."};
inline constexpr Text kSectionTwice{"%1: 节 [%2] 出现了两次", "%1: section [%2] appears twice"};
// %1 the file, %2 the section, %3 the key, %4 the keys a controller has.
inline constexpr Text kUnknownKey{"%1: [%2] %3 不是控制器的键; 允许的键: %4",
                                  "%1: [%2] %3 is not a key of a controller; allowed keys: %4"};
// %1 the file, %2 the section, %3 the key, %4 the values it allows.
inline constexpr Text kMissingKey{"%1: [%2] 缺少 %3; 允许的值: %4", "%1: [%2] has no %3; allowed values: %4"};
// %1 the file, %2 the section, %3 the key, %4 its value, %5 the values it allows.
inline constexpr Text kBadValue{"%1: [%2] %3=%4 无效; 允许的值: %5", "%1: [%2] %3=%4 is not allowed; allowed values: %5"};

// The values a key allows (the last value of kMissingKey and kBadValue).
inline constexpr Text kAllowedProtocols{"e131、artnet 或 ddp", "e131, artnet or ddp"};
inline constexpr Text kAllowedAddress{"单播 IPv4 地址, 如 192.168.1.50", "a unicast IPv4 address such as 192.168.1.50"};
inline constexpr Text kAllowedAddressOrMulticast{"单播 IPv4 地址, 如 192.168.1.50 (或设 Multicast=1)",
                                                 "a unicast IPv4 address such as 192.168.1.50 (or Multicast=1)"};
// %1 the smallest, %2 the largest.
inline constexpr Text kAllowedRange{"%1 到 %2 的整数", "a whole number from %1 to %2"};
inline constexpr Text kAllowedFlag{"0 或 1", "0 or 1"};
inline constexpr Text kAllowedMulticastOff{"0 (只有 e131 能组播)", "0 (only e131 sends by multicast)"};
inline constexpr Text kAllowedLines{"1 到 256 的线路号, 如 1-4,7", "line numbers from 1 to 256, such as 1-4,7"};
inline constexpr Text kAllowedSourceName{"最多 63 字节的一行文字", "one line of text of at most 63 bytes"};

// A list of lines that does not read (%1 the text).
inline constexpr Text kBadLines{"线路表 \"%1\" 无效; 允许的值: 1 到 256 的线路号, 如 1-4,7",
                                "The line list \"%1\" is not allowed; allowed values: line numbers from 1 to 256, "
                                "such as 1-4,7"};

// A controller's channels: %1 the section, %2 its lines, %3 and %4 the universes they need,
// %5 the protocol, %6 and %7 the universes it allows.
inline constexpr Text kUniversesPastEnd{"[%1]: 线路 %2 需要 Universe %3 到 %4, 但 %5 只允许 %6 到 %7",
                                        "[%1]: lines %2 need universes %3 to %4, but %5 allows %6 to %7"};

// Warnings about a description.
// %1 the lines, %2 and %3 the sections.
inline constexpr Text kLinesTwice{"线路 %1 同时由 [%2] 和 [%3] 驱动", "Lines %1 are driven by both [%2] and [%3]"};
// %1 and %2 the sections, %3 where they send, %4 the universe.
inline constexpr Text kUniverseTwice{"[%1] 和 [%2] 都向 %3 发送 Universe %4",
                                     "[%1] and [%2] both send universe %4 to %3"};
// %1 and %2 the sections, %3 where they send.
inline constexpr Text kDdpTwice{"[%1] 和 [%2] 都向 %3 发送 DDP 数据", "[%1] and [%2] both send DDP data to %3"};
// Where multicast controllers send (in kUniverseTwice).
inline constexpr Text kMulticastTarget{"组播", "multicast"};

// Sending: the socket and the destinations (%1 the address, or the address and port).
inline constexpr Text kUdpNotIPv4{"%1 不是 IPv4 地址 (应为 a.b.c.d)", "%1 is not an IPv4 address (a.b.c.d)"};
inline constexpr Text kUdpNotUnicast{"%1 不是单个主机的地址: 不向组播、广播或 0.0.0.0 地址发送",
                                     "%1 is not the address of one host: nothing is sent to multicast, broadcast or "
                                     "0.0.0.0 addresses"};
inline constexpr Text kUdpNoSocket{"无法打开 UDP 套接字", "Cannot open a UDP socket"};
inline constexpr Text kUdpSendFailed{"无法向 %1 发送数据", "Cannot send to %1"};
// %1 the channel layouts given, %2 the controllers.
inline constexpr Text kPlayLayoutsMismatch{"%1 个通道布局对应 %2 个控制器", "%1 channel layouts for %2 controllers"};

// corvantine-cli play.
inline constexpr Text kPlayNetRequired{"必须给出 --net NAME.net", "--net NAME.net is required"};
// %1 the frames sent, %2 the seconds, %3 the frames dropped.
inline constexpr Text kPlayDone{"已发送 %1 帧, 用时 %2 秒 (丢弃 %3 帧)", "%1 frames sent in %2 s (%3 dropped)"};
inline constexpr Text kPlayStopped{"已停止: 已发送 %1 帧, 用时 %2 秒 (丢弃 %3 帧)",
                                   "Stopped: %1 frames sent in %2 s (%3 dropped)"};
// %1 the packets, %2 the first refusal with its reason.
inline constexpr Text kPlaySendFailures{"%1 个数据包未能发送 (第一个: %2)", "%1 packet(s) could not be sent (the first: %2)"};

// The desktop: the network output dialog and live output from the main window.
inline constexpr Text kNetworkOutputCommand{"网络输出...", "Network output..."};
inline constexpr Text kLiveOutputCommand{"实时输出", "Live output"};
inline constexpr Text kNetworkOutputTitle{"网络输出", "Network output"};
// %1 the file.
inline constexpr Text kNetworkFileLabel{"网络描述文件: %1", "Network description: %1"};
inline constexpr Text kAddController{"添加控制器", "Add controller"};
inline constexpr Text kRemoveController{"删除控制器", "Remove controller"};
// The columns of the controller table.
inline constexpr Text kColumnLines{"线路", "Lines"};
inline constexpr Text kColumnProtocol{"协议", "Protocol"};
inline constexpr Text kColumnAddress{"地址", "Address"};
inline constexpr Text kColumnPort{"端口", "Port"};
inline constexpr Text kColumnUniverse{"起始 Universe", "Universe"};
inline constexpr Text kColumnChannelsPerUniverse{"每 Universe 通道数", "Channels per universe"};
inline constexpr Text kColumnLineStartsUniverse{"每条线路新起 Universe", "Line starts universe"};
inline constexpr Text kColumnPriority{"优先级", "Priority"};
inline constexpr Text kColumnSourceName{"源名称", "Source name"};
inline constexpr Text kColumnSync{"同步", "Sync"};
inline constexpr Text kColumnMulticast{"组播", "Multicast"};
inline constexpr Text kColumnChannels{"通道数", "Channels"};
inline constexpr Text kColumnUniverses{"Universe 数", "Universes"};
// %1 the controllers, %2 the channels, %3 the universes.
inline constexpr Text kNetworkTotals{"合计: %1 个控制器, %2 个通道, %3 个 Universe",
                                     "Total: %1 controllers, %2 channels, %3 universes"};
// A problem of one row of the table: %1 its section, %2 the message.
inline constexpr Text kControllerProblem{"[%1]: %2", "[%1]: %2"};
// After the reader's message about the file the dialog opened.
inline constexpr Text kUnreadableReplaced{"按确定将以这里的控制器替换此文件。",
                                          "OK replaces the file with the controllers here."};
// %1 the file, %2 the reason.
inline constexpr Text kCannotWriteNetworkFile{"无法写入 %1: %2", "Cannot write %1: %2"};
inline constexpr Text kNoLineFileInUse{"没有使用中的线路文件: 网络描述文件放在线路文件旁边, 请先在线路设置中打开或保存线路文件。",
                                       "No line file is in use: the network description is kept beside the line "
                                       "file; open or save one in Line Setting first."};
// %1 the file.
inline constexpr Text kNoNetworkFile{"没有网络描述文件 %1: 请先用 网络输出... 设置控制器。",
                                     "There is no network description %1: set up the controllers with Network "
                                     "output... first."};
// %1 why.
inline constexpr Text kLiveOutputCannotStart{"实时输出无法开始: %1", "Live output cannot start: %1"};
// %1 the controllers.
inline constexpr Text kLiveOutputStarted{"实时输出到 %1 个控制器", "Live output to %1 controllers"};
// %1 the frames sent, %2 the frames dropped.
inline constexpr Text kLiveOutputStopped{"实时输出已停止: 已发送 %1 帧 (丢弃 %2 帧)",
                                         "Live output stopped: %1 frames sent (%2 dropped)"};

// corvantine-cli test-pattern.
inline constexpr Text kTestPatternRequired{"必须给出 --pattern lines|chase|rgb|white|off",
                                           "--pattern lines|chase|rgb|white|off is required"};
// %1 the argument.
inline constexpr Text kTestPatternExtraArgument{"多余的参数 %1", "Unexpected argument %1"};
// %1 the name given.
inline constexpr Text kBadTestPattern{"未知的测试图案 %1 (可用: lines, chase, rgb, white, off)",
                                      "Unknown test pattern %1 (one of lines, chase, rgb, white, off)"};

// The sculpt window's commissioning patterns, sent live to the controllers.
inline constexpr Text kTestPatternMenu{"测试图案", "Test pattern"};
inline constexpr Text kPatternLinesCommand{"每条线路一种颜色", "Each line in its colour"};
inline constexpr Text kPatternChaseCommand{"沿线路逐灯追逐", "Chase along each line"};
inline constexpr Text kPatternRgbCommand{"红, 绿, 蓝, 白", "Red, green, blue, white"};
inline constexpr Text kPatternWhiteCommand{"全白", "All white"};
inline constexpr Text kPatternOffCommand{"全灭", "All off"};
inline constexpr Text kStopPatternCommand{"停止测试图案", "Stop test pattern"};
// %1 the controllers.
inline constexpr Text kPatternSending{"测试图案发送到 %1 个控制器", "Test pattern to %1 controllers"};
inline constexpr Text kPatternStopped{"测试图案已停止", "Test pattern stopped"};

}  // namespace corv::msg::net
