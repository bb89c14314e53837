#include "cli/Cli.h"

#include <sstream>

#include <iostream>
#include <iterator>
#include <regex>
#include <utility>

#include "base/FileUtil.h"
#include "lang/Language.h"
#include "lang/Localize.h"
#include "lang/Render.h"
#include "lang/messages/CliMessages.h"
#include "lang/messages/CommonMessages.h"
#include "layout/Layout.h"
#include "project/EffectItem.h"
#include "workspace/DocumentOps.h"
#include "workspace/Workspace.h"

namespace corv::cli {

#ifndef CORVANTINE_VERSION
#define CORVANTINE_VERSION "0.0.0"
#endif

namespace {

// The commands on documents and archives.
std::vector<Command> DocumentCommandTable() {
    return {
        {"info", "describe a file", "FILE [--json] [--strict]",
         "Describes a project document (.cvn, plain or compressed): version, clips with their\n"
         "size, frame count and line file, canvas, layers with their items, music.\n"
         "Describes a configuration file (\"Led Conf.ldc\" or any profile file): every key of\n"
         "section \"Main\" with the value the program uses, and the other sections.\n"
         "Describes a line file, a module file, a lamp-type file (recognised by their content), a\n"
         "controller data file and a sequence file (.fseq: version, channels, frames, step, compression,\n"
         "blocks, sparse ranges, variable headers); problems a controller would trip over (wrong record\n"
         "checksums, a partial last frame, a block size the records disagree with) are warned of on stderr.\n"
         "  --json     machine-readable output\n"
         "  --strict   exit 1 when a controller data file has such a problem",
         {}, {"--json", "--strict"}, RunInfo},
        {"new-project", "make a one-clip project document", "OUT.cvn --width W --height H [--frames N] [--color RRGGBB]",
         "Writes a document with one clip of N frames (default 1) of W x H pixels, filled with\n"
         "the colour (default 000000, black).",
         {"--width", "--height", "--frames", "--color"}, {}, RunNewProject},
        {"append-frames", "append frames to an existing document", "SOURCE.cvn TARGET.cvn --first A --last B",
         "Appends frames A..B (1-based, inclusive) of the first clip of SOURCE to the single clip\n"
         "of TARGET, which must have the same frame size. The target keeps its design and music.\n"
         "Prints the target's new frame count.",
         {"--first", "--last"}, {}, RunAppendFrames},
        {"pack", "store a document as a RAR archive", "IN.cvn OUT.rar [--builtin]",
         "Writes OUT.rar holding IN.cvn as the entry \"Corvantinev.cvn\", with the outside rar\n"
         "program when it is installed, else with the built-in writer (stored entry).\n"
         "  --builtin   always use the built-in writer",
         {}, {"--builtin"}, RunPack},
    };
}

// The commands on layouts and the libraries of the application home.
std::vector<Command> LayoutCommandTable() {
    return {
        {"layout", "make and wire LED layouts (line files)",
         "new OUT.lnf --rows R --cols C [--sphere]\n"
         "       corvantine-cli layout add FILE.lnf --from COL,ROW --to COL,ROW [--line N] [--mode MODE]\n"
         "             [--module NAME] [--limit L] [--repeat] [--tiles AX,AY]\n"
         "       corvantine-cli layout set FILE.lnf [--family ms|single|simple] [--ports-per-slave 1|2|3|4|8]\n"
         "             [--slaves LIST] [--lamp NAME] [--chip CODE] [--clock MHZ] [--brightness P] [--gray LEVELS]\n"
         "             [--reverse yes|no] [--ports N] [--gamma G] [--red P] [--green P] [--blue P] [--groups N,N,...]\n"
         "       corvantine-cli layout delete FILE.lnf --from COL,ROW --to COL,ROW\n"
         "       corvantine-cli layout copy|cut FILE.lnf --from COL,ROW --to COL,ROW --clip OUT\n"
         "       corvantine-cli layout paste FILE.lnf --clip IN --at COL,ROW [--line N] [--repeat]\n"
         "       corvantine-cli layout transfer FILE.lnf --at COL,ROW --line N\n"
         "       corvantine-cli layout reverse FILE.lnf --a COL,ROW --b COL,ROW\n"
         "       corvantine-cli layout move-point FILE.lnf --from COL,ROW --to COL,ROW [--repeat]\n"
         "       corvantine-cli layout repeat FILE.lnf --from COL,ROW --to COL,ROW --times R\n"
         "       corvantine-cli layout array-copy FILE.lnf --from COL,ROW --to COL,ROW --at COL,ROW --tiles AX,AY [--line N]\n"
         "       corvantine-cli layout line-op FILE.lnf exchange|unite|delete --a N [--and N | --to N]\n"
         "       corvantine-cli layout line-op FILE.lnf move --a N [--and N | --to N] --offset DX,DY\n"
         "       corvantine-cli layout line-op FILE.lnf copy --a N [--and N | --to N] --clip OUT",
         "The editing tools (the file is saved only when the edit did something): delete the LEDs of\n"
         "  a zone; copy or cut them to a clip file (the layout-data form); paste a clip file with the\n"
         "  zone's corner at --at into line N and the lines after it; transfer the LED on --at and\n"
         "  the rest of its line to the end of line N; reverse the run of a line between --a and --b;\n"
         "  move one LED; repeat every LED of a zone R more times; array-copy lays the zone's first line\n"
         "  as AX x AY tiles from --at rightwards and downwards; line-op exchanges or unites two\n"
         "  lines, deletes or moves line --a and --and N or the lines up --to N, or copies them.\n"
         "new: an empty layout of R rows and C columns (a sphere: rows shrink towards the poles).\n"
         "add: lays LEDs into the lines as a mouse drag from the --from cell to the --to cell does\n"
         "  (0-based, both inclusive, inside the grid). The wiring starts at the corner of the\n"
         "  rectangle where the drag ends (the --to cell), as the layout editor wires a drag.\n"
         "  --line is the 1-based current line (default 1); --mode is\n"
         "  z-h, z-v, s-h (default), s-v, shortest or shortest-h; --module a display module of the\n"
         "  application home (default \"Single pixel\"); --limit the most points a line takes\n"
         "  (default 4096); --repeat lets LEDs share a cell; --tiles AX,AY is the Ctrl form: the\n"
         "  --to cell is the anchor and AX x AY tiles are laid.\n"
         "set: the controller family, lines per slave and the parameters of the slaves in LIST\n"
         "  (1-based, like 1-3,7 or all, of the slaves the layout has); without --slaves the values\n"
         "  become the defaults of the slaves not shown yet. --groups sets the slaves per master\n"
         "  controller (counts of at least 1 adding up to at most the slaves; the last master takes\n"
         "  the rest). Values and units:\n"
         "    --lamp NAME         a lamp type of \"corvantine-cli lamp list\"\n"
         "    --chip CODE         a chip code of \"corvantine-cli chip list\"; without --gray it also\n"
         "                        selects the chip's own gray levels where the catalogue gives them\n"
         "    --clock MHZ         0.1..50 MHz (stored as the divisor 25 / MHz)\n"
         "    --brightness P      0..100 percent; --red, --green, --blue the same\n"
         "    --gray LEVELS       2, 4, 8, ... 65536 gray levels (single controller: up to 512)\n"
         "    --gamma G           0.2..10 (stored as gamma x 10)\n"
         "    --ports N           1, 2, 3, 4 or 8 lines of the slave\n"
         "    --reverse yes|no    colour reverse\n"
         "new: --rows and --cols take 1..65535, at most 16777216 cells in all.",
         {"--rows", "--cols", "--from", "--to", "--line", "--mode", "--module", "--limit", "--tiles", "--family",
          "--ports-per-slave", "--slaves", "--lamp", "--chip", "--clock", "--brightness", "--gray", "--reverse",
          "--ports", "--gamma", "--red", "--green", "--blue", "--groups", "--clip", "--at", "--a", "--b", "--and",
          "--offset", "--times"},
         {"--sphere", "--repeat"}, RunLayout},
        {"dxf", "make a layout from a DXF drawing",
         "DRAWING.dxf OUT.lnf [--space-x N --space-y N] [--vertex-mode] [--picture OUT.png --width W --height H] [--json]",
         "Every circle is an LED, LINE segments from circle to circle give the wiring order and\n"
         "texts \"#n\" at a chain end name its line (n = 0 is the first line; the labelled end comes\n"
         "first). The spacing (drawing units per cell) is the one the drawing suggests unless\n"
         "given. --vertex-mode takes the segments' end points as LEDs instead of circles.\n"
         "--picture also writes a W x H picture with one white pixel per LED (for the background\n"
         "tools of the layout editor).",
         {"--space-x", "--space-y", "--picture", "--width", "--height"}, {"--vertex-mode", "--json"}, RunDxf},
        {"identify", "find the LED dots of a photograph and wire them (Fast Identify)",
         "PICTURE OUT.lnf [--picture LEDS.png] [--mode shortest-h|shortest]",
         "Finds the LED dots of a photograph or scan of an installation (uneven light and a tilted\n"
         "grid are allowed), puts each on its cell of a grid with the dots' pitch, and wires them all by\n"
         "background, band after band (shortest-h, the default) or nearest dot next (shortest), line\n"
         "after line. --picture writes the one-pixel-per-LED picture as well.",
         {"--picture", "--mode"}, {}, RunIdentify},
        {"export-map", "write the channel map of a layout", "LAYOUT.lnf OUT.map",
         "Writes cols, rows, the entry count and, for every output channel of every slave, the frame\n"
         "byte that feeds it (0 where the channel has no LED).",
         {}, {}, RunExportMap},
        {"export-hmc", "write the first line as an HMC file", "LAYOUT.lnf OUT.hmc [--colors RRGGBB,...] [--selected RRGGBB]",
         "Writes the first line's position map and a 192-colour table (the --colors list repeated;\n"
         "default red, green, blue, yellow, cyan, magenta, white) with the selected colour (default\n"
         "white). The grid must be at most 128 x 128 and the line hold 6..1536 points.",
         {"--colors", "--selected"}, {}, RunExportHmc},
        {"render-layout", "draw a layout", "LAYOUT.lnf OUT.png|OUT.jpeg|OUT.bmp|OUT.gif [--cell N]",
         "Draws the grid, the LEDs in their line's colour, the wiring routes and each line's number\n"
         "at its first LED, N pixels per cell (default 12).",
         {"--cell"}, {}, RunRenderLayout},
        {"lamp", "lamp types of the application home", "add NAME --pins R1,G1,B1,... | list [--json] | delete NAME",
         "add: stores a lamp type. --pins lists the chip's pins in order, each the colour it\n"
         "  drives and the pixel it belongs to: R1,G1,B1,R2,G2,B2 is a chip driving two RGB\n"
         "  pixels (letters R, G, B, pixels from 1); an empty item (R1,,B1) is a pin not\n"
         "  connected. 1..192 pins.\n"
         "list: the built-in and the user's lamp types. delete: removes a user lamp type.",
         {"--pins"}, {"--json"}, RunLamp},
        {"module", "display modules of the application home", "list [--json] | import FILE | export FILE | delete NAME",
         "import adds the modules of another module file that are not there yet (a file that is\n"
         "not a whole module file is refused); export writes the user modules to a file.",
         {}, {"--json"}, RunModule},
        {"chip", "the driver-chip catalogue", "list [--json]",
         "Lists the chip codes of the catalogue (DrICtype.ict of the application home) with their\n"
         "names; --json adds the Chinese names and the single controller's delay.",
         {}, {"--json"}, RunChip},
    };
}

// The commands that write controller data, movies and pictures, or read them back.
std::vector<Command> OutputCommandTable() {
    return {
        {"output", "write controller data files (.led)",
         "PROJECT.cvn --lines LAYOUT.lnf --out PATH/NAME.led [--clip N] [--first A] [--last B] [--speed FPS]\n"
         "       [--seed N] [--card auto|none]",
         "Writes one file per master controller for frames A..B (1-based, inclusive; default all) of\n"
         "clip N (default 1), through the wiring and controller parameters of LAYOUT.lnf. With\n"
         "several masters the files are PATH/NAME1.led, PATH/NAME2.led, ... (the chosen name\n"
         "without its extension, then the master number). --speed is the simple\n"
         "controller's playback speed (default 30); --seed makes the random filler repeatable;\n"
         "--card auto (default) copies each file to the first FAT or FAT16 card found.",
         {"--lines", "--out", "--clip", "--first", "--last", "--speed", "--seed", "--card"}, {}, RunOutput},
        {"output-from", "write controller data files straight from a movie or a document",
         "MOVIE|DOC.cvn --lines LAYOUT.lnf --out PATH/NAME.led [--width W --height H] [--fit center|stretch]\n"
         "       [--first A] [--last B] [--speed FPS] [--seed N] [--card auto|none]",
         "Writes controller files as \"output\" does, taking the frames one at a time from a movie\n"
         "(decoded picture by picture, never held whole) or from clip 1 of a document. The frame\n"
         "size is W x H (default: a document's own size, for a movie the layout's grid). A document\n"
         "of another size is refused. --fit center keeps a picture's proportions and centres it on\n"
         "black (default); stretch fills the frame. --card auto copies each file to the card.",
         {"--lines", "--out", "--width", "--height", "--fit", "--first", "--last", "--speed", "--seed", "--card"}, {}, RunOutputFrom},
        {"play", "send a clip live to networked pixel controllers (E1.31, Art-Net, DDP)",
         "DOC.cvn --lines LAYOUT.lnf --net NAME.net [--clip N] [--first A] [--last B] [--fps F] [--loop N]",
         "Sends frames A..B (1-based, inclusive; default all) of clip N (default 1) in real time, F a\n"
         "second (1..100; default the configured play speed), to every controller NAME.net lists,\n"
         "through the wiring and lamp types of LAYOUT.lnf. --loop N plays the frames N times (default\n"
         "1; 0 until stopped). Ctrl+C stops after the frame in flight and ends the E1.31 streams.\n"
         "NAME.net is INI text, a section a controller ([Controller1], [Controller2], ...) with the keys\n"
         "Protocol (e131, artnet, ddp), Address, Port, Multicast (e131), Lines (such as 1-4,7),\n"
         "Universe, ChannelsPerUniverse, LineStartsUniverse, Priority, SourceName and Sync. A file\n"
         "with a bad section, key or value is refused (exit 2) and nothing is sent.",
         {"--lines", "--net", "--clip", "--first", "--last", "--fps", "--loop"}, {}, RunPlay},
        {"test-pattern", "send a commissioning test pattern live to networked pixel controllers",
         "--lines LAYOUT.lnf --net NAME.net --pattern lines|chase|rgb|white|off [--seconds S] [--fps F]",
         "Sends a pattern through the wiring and lamp types of LAYOUT.lnf to every controller NAME.net\n"
         "lists (as play does), for S seconds (default 10; 0 until stopped), F frames a second (1..100;\n"
         "default 25). lines: each line in its own colour, its first LED white. chase: one white LED a\n"
         "line, a step a frame along its wiring order. rgb: every LED red, green, blue, then white, a\n"
         "step a second. white: every LED white. off: every LED black. Ctrl+C stops as in play.",
         {"--lines", "--net", "--pattern", "--seconds", "--fps"}, {}, RunTestPattern},
        {"budget", "the power and timing budget of every line, slave and master",
         "DOC.cvn --lines LAYOUT.lnf [--clip N] [--first A --last B] [--ma M] [--idle-ma I] [--volts V]\n"
         "       [--fps F] [--fuse-amps A] [--json]",
         "Adds up the current every LED draws in each of frames A..B (1-based, inclusive; default all)\n"
         "of clip N (default 1): each colour component its output level (the controller file's, through\n"
         "gamma, brightness and colour balance) over the full level times M mA (default each lamp type's\n"
         "own from LampCurrent.ini of the application home, else 20; --ma sets it for all), plus I mA an\n"
         "LED (default 1). Prints the peak and mean amps and the peak watts (at V volts, default 5) of\n"
         "every line, slave and master and of the whole, and the highest frame rate each line's chip,\n"
         "clock and LED count allow. Warns of lines slower than F frames a second (default the\n"
         "configured play speed) and of lines and slaves that peak above A amps.",
         {"--lines", "--clip", "--first", "--last", "--ma", "--idle-ma", "--volts", "--fps", "--fuse-amps"}, {"--json"},
         RunBudget},
        {"import-video", "add a movie's pictures to a document as frames",
         "MOVIE DOC.cvn [--width W --height H] [--fit center|stretch] [--first N] [--count N] [--clip N]",
         "Decodes the movie (any format FFmpeg reads; a Flash file when it holds video) and appends its\n"
         "pictures, from picture N (default 1), --count of them (default all), to clip N (default 1)\n"
         "of DOC, at the clip's frame size. A DOC that does not exist is made with one clip of W x H\n"
         "(default the movie's size). --fit as for output-from.",
         {"--width", "--height", "--fit", "--first", "--count", "--clip"}, {}, RunImportVideo},
        {"export-video", "export a clip as a movie (AVI, MP4, MOV, MKV or animated GIF)",
         "DOC.cvn OUT.avi|.mp4|.mov|.mkv|.gif [--codec NAME] [--fps N] [--quality Q] [--key N] [--clip N]\n"
         "       [--first A] [--last B] | --list-codecs",
         "Encodes frames A..B of clip N (default all of clip 1). The settings default to the\n"
         "configuration's video options (20 frames a second, a key frame every 20, quality 65,\n"
         "uncompressed AVI); --codec picks an encoder of --list-codecs (uncompressed, mjpeg, ffv1,\n"
         "huffyuv, mpeg4, libx264, ...). The file is written whole or not at all.",
         {"--codec", "--fps", "--quality", "--key", "--clip", "--first", "--last"}, {"--list-codecs"}, RunExportVideo},
        {"capture", "grab a region of the screen into a document (X11)",
         "DOC.cvn --region X,Y,W,H [--rate R] [--frames N]",
         "Grabs N pictures (default 100) of the screen region at R a second (default 20) and appends\n"
         "them to clip 1 of DOC (made when it does not exist; an existing one must have frames of\n"
         "W x H).",
         {"--region", "--rate", "--frames"}, {}, RunCapture},
        {"render-sphere", "draw a frame on the sphere of a sphere layout",
         "DOC.cvn LAYOUT.lnf OUT.png [--frame N] [--size W,H] [--rotate AX,AY]",
         "Draws frame N (default 1) of clip 1 on the sphere of LAYOUT.lnf as the sphere preview shows\n"
         "it (front face, a quarter turn about x), W x H pixels (default 800,800), turned AX degrees\n"
         "about the screen's x axis and AY about its y axis. A layout that is not a sphere is refused.",
         {"--frame", "--size", "--rotate"}, {}, RunRenderSphere},
        {"render-preview", "draw the LEDs of a layout lit by frames",
         "DOC.cvn LAYOUT.lnf OUT.png|OUT.gif [--frame N | --frames A-B] [--glow] [--size W,H] [--fps N]",
         "Draws every LED the lines of LAYOUT.lnf drive as a dot in the colour the controller output\n"
         "reads for it from frame N (default 1) of clip 1; --glow adds a soft glow. A .gif holds\n"
         "frames A-B (default all) at N a second (default 20). The size defaults to 8 pixels a cell.",
         {"--frame", "--frames", "--size", "--fps"}, {"--glow"}, RunRenderPreview},
        {"export-fseq", "write a clip as a sequence file (.fseq) of the controllers' channels",
         "DOC.cvn --lines LAYOUT.lnf OUT.fseq [--clip N] [--first A --last B] [--fps F]\n"
         "       [--compression zstd|zlib|none] [--level L] [--version 1|2] [--net NAME.net [--controller N] [--sparse]]",
         "Writes frames A..B (1-based, inclusive; default all) of clip N (default 1) as the channels\n"
         "the live output sends for them through the wiring, lamp types and output levels of\n"
         "LAYOUT.lnf: every line in number order, each line's LEDs in wiring order, each LED's pins in\n"
         "its lamp type's order. F frames a second (version 2: 4..1000, version 1: 1..1000; default the\n"
         "configured play speed) give the step, 1000 / F ms. Version 2 (the default) is compressed with\n"
         "zstd (default, --level 1..22, default 2) or zlib (--level 1..9, default 6) in blocks of about\n"
         "64 KiB, or not at all; version 1 is never compressed. The file names the document's music\n"
         "and this program.\n"
         "--net: a file for each controller NAME.net lists, of its own lines: OUT-Controller1.fseq,\n"
         "OUT-Controller2.fseq, ... (OUT without its extension, then \"-\" and the section); --controller N\n"
         "writes only the controller of section [ControllerN], to OUT.fseq. --sparse gives each file's\n"
         "channels their place in the whole layout's channels (sparse ranges). Every file is written\n"
         "whole before any takes its name.",
         {"--lines", "--clip", "--first", "--last", "--fps", "--compression", "--level", "--version", "--net",
          "--controller"},
         {"--sparse"}, RunExportFseq},
        {"import-fseq", "read a sequence file (.fseq) back into a document",
         "IN.fseq --lines LAYOUT.lnf --into DOC.cvn [--clip N] [--width W --height H]",
         "Turns every frame of IN.fseq back into a picture through LAYOUT.lnf (each channel to the pixel\n"
         "its LED shows, through the inverse of its output level: exact at gamma 1.0 and 100 %) and\n"
         "appends the frames to clip N (default 1) of DOC, which is written back. A DOC that does not\n"
         "exist is made with one clip of W x H (default the layout's grid). A sparse file's channels go\n"
         "where its ranges put them. A file of other channels than the layout's is imported as far as\n"
         "both go, with a warning. A damaged or cut short file is refused and DOC left as it was.",
         {"--lines", "--into", "--clip", "--width", "--height"}, {}, RunImportFseq},
        {"import-led", "read a controller data file back into a project",
         "FILE.led --lines LAYOUT.lnf --into PROJECT.cvn [--clip N]",
         "Copies the frame blocks of a master-slave file into the frames after frame 1 of clip N\n"
         "(default 1), through the wiring of LAYOUT.lnf, appending frames past the end, and saves\n"
         "the project.",
         {"--lines", "--into", "--clip"}, {}, RunImportLed},
        {"card", "find the card the controllers read", "[--json]",
         "Lists the mounted block devices in mount order with the reason each was passed over,\n"
         "and the first suitable card (removable, FAT12 or FAT16).",
         {}, {"--json"}, RunCard},
        {"unpack", "extract a compressed document", "IN.rar OUT.cvn",
         "Extracts the entry \"Corvantinev.cvn\" of a RAR 4 or RAR 5 archive into OUT.cvn.",
         {}, {}, RunUnpack},
    };
}

// The commands that edit frames and colours.
std::vector<Command> FrameCommandTable() {
    return {
        {"frames", "edit the frames of a document's clip",
         "copy DOC --first A --last B [--rect L,T,R,B] --block OUT\n"
         "       corvantine-cli frames paste DOC --block IN --place P [--times T] [--overlay]\n"
         "             [--direction original|horizontal|vertical|center] [--reverse-order]\n"
         "             [--combine normal|or|xor|and|superposition|transparency|adding] [--rect ...]\n"
         "       corvantine-cli frames steps-paste DOC --block IN --start S --interval I [--backwards] [--rect ...]\n"
         "       corvantine-cli frames repeat DOC --first A --last B --times R\n"
         "       corvantine-cli frames delete DOC --first A --last B [--spacing N] [--rect ...]\n"
         "       corvantine-cli frames move DOC --first A --last B --direction left|right|up|down --ranks M\n"
         "             [--increments] [--rect ...]\n"
         "       corvantine-cli frames insert DOC --after N\n"
         "       corvantine-cli frames row-col-delete DOC [--first A --last B] --keep-rows R --delete-rows D\n"
         "             --keep-cols R --delete-cols D [--rect ...]\n"
         "       corvantine-cli frames export DOC OUTDIR [--first A --last B]\n"
         "       corvantine-cli frames import DOC PICTURE...",
         "The frame view's range operations on clip N (--clip, default 1) of a document, which is\n"
         "written back (a compressed document stays compressed). Frames are 1-based and both ends\n"
         "inclusive. --rect is the edit area in picture coordinates, top-down, right and bottom\n"
         "exclusive; without it the whole frame is the target.\n"
         "copy: frames A..B (cut to the target) as a frame block file, the clipboard's bytes.\n"
         "paste: the block after frame P (or over frames from P with --overlay), T times; the\n"
         "  combinations mix a picture with the frame under it: or, xor, and per colour byte;\n"
         "  superposition the brighter of the two, transparency their mean, adding their sum\n"
         "  (at most 255) per colour channel.\n"
         "steps-paste: new frames after frame S, the block staggered column by column (a block of\n"
         "  the target's height) or row by row (of its width), I frames apart.\n"
         "repeat: every frame of A..B R more times in a row. delete: frames A..B, or with --spacing N\n"
         "  every (N+1)-th of them; with --rect the area is cleared instead.\n"
         "move: the target rotates by M pixels (one more each frame with --increments).\n"
         "row-col-delete: keep R rows, delete D rows, repeatedly from the top, then the same for\n"
         "  columns from the left; the rest closes up and the freed cells take the background.\n"
         "export: one PNG per frame (frameNNN.png). import: pictures scaled to the clip's size,\n"
         "  appended as frames.",
         {"--first", "--last", "--rect", "--block", "--place", "--times", "--direction", "--combine", "--start",
          "--interval", "--spacing", "--ranks", "--after", "--keep-rows", "--delete-rows", "--keep-cols",
          "--delete-cols", "--clip"},
         {"--overlay", "--reverse-order", "--backwards", "--increments"}, RunFrames},
        {"colors", "the colour library (colour lists the generators paint with)",
         "list [--json] [--library FILE] | add --colors RRGGBB,... [--grade G | --steps K] [--library FILE]\n"
         "       | remove K [--library FILE]",
         "The library is Clrlibnu.clb of the application home (or --library FILE); a missing one is\n"
         "created, a damaged one is refused and left as it is. list: the built-in rainbow (0) and the\n"
         "stored lists (1..199). add: a list made as the colour panel makes it, each colour after the\n"
         "first with a run of intermediate colours: --grade G (1, 2, 3, 4, 5, 8, 12, 16, 24, 32; default\n"
         "8) steps by G of the largest channel difference, --steps K (16, 32, 64, 128, 256) always adds K.\n"
         "remove: deletes list K; the later lists move down.",
         {"--colors", "--grade", "--steps", "--library"}, {"--json"}, RunColors},
        {"color-process", "change the colours of a range of frames",
         "DOC --replace OLD,NEW | --swap ORDER | --shade P [--channels RGB]\n"
         "       | --clear-non-led LAYOUT.lnf [--background RRGGBB] | --clear-by-frame N [--background RRGGBB]\n"
         "       [--first A --last B] [--rect L,T,R,B] [--clip N]",
         "Works on frames A..B (1-based, inclusive; default all) of clip N inside --rect (as in\n"
         "frames) and writes the document back.\n"
         "--replace: pixels of colour OLD become NEW; when both are pure colours (each channel 00 or\n"
         "  FF) the shades of OLD take NEW at their own brightness.\n"
         "--swap: where R, G and B go: RBG, GRB, GBR, BGR or BRG.\n"
         "--shade: the channels (default RGB) times P percent, kept to 255.\n"
         "--clear-non-led: pixels no LED of the layout shows take the background (the layout's grid\n"
         "  must be the frame size). --clear-by-frame: pixels black in frame N take the background.\n"
         "--background (default 000000) belongs to these two.",
         {"--replace", "--swap", "--shade", "--channels", "--clear-non-led", "--clear-by-frame", "--first", "--last",
          "--rect", "--clip", "--background"}, {}, RunColorProcess},
        {"transition", "draw a transition from one picture to another",
         "OLD NEW OUT.cvn --steps N [--kind K|random] [--seed S]",
         "OLD and NEW are pictures or documents (a document's first clip: its last frame is the old\n"
         "picture, its frames the new ones in turn, so a moving run keeps moving while it appears).\n"
         "Writes a document of N + 1 frames: the old picture, then steps 1..N, the last the new\n"
         "picture whole. Kinds: 1 Appear, 2-5 LeftOver/RightOver/UpOver/DownOver, 6-9 Corner1-4Over,\n"
         "10-13 Bevel1-4Over, 14-21 Push, 22-31 Stretch, 32 Shadow, 33-34 Mosaic, 35-38 Open and\n"
         "Close, 39-40 blinds, 41-46 Radar, 47-54 Reveal, 55 CheckerBoard, 56 ZigZag, 57 Spiral;\n"
         "0 or random picks one of 1..54 from --seed (default 1).",
         {"--steps", "--kind", "--seed"}, {}, RunTransition},
    };
}

// The design and the pattern generators.
std::vector<Command> DesignCommandTable() {
    return {
        {"design", "list, render or export the design of a document, or add shapes to it",
         "DOC list [--json] | render --frames N [--clip N] | export OUT [--player PATH] |\n"
         "       add KIND --box X,Y,W,H [--color RRGGBB] [--angle A] [--outline] [--text T] [--layer N] [--mask]",
         "list: the canvas, the layers and their items. render: appends N frames of the design played\n"
         "(the canvas scaled to the clip's frame size; items with a clip source show it advancing).\n"
         "export: a file that plays the design by itself (the player with the document appended);\n"
         "--player takes only corvantine-player (default: the one beside this program), and OUT may be\n"
         "neither the document nor the player.\n"
         "add: a rectangle, ellipse, line, round-rectangle, text, star, regular-polygon or picture-area\n"
         "(the clip of --clip) on layer N (a new layer past the last; default the last); --mask makes it\n"
         "the layer's mask.",
         {"--frames", "--clip", "--player", "--box", "--color", "--angle", "--text", "--layer"}, {"--json", "--outline", "--mask"}, RunDesign},
        {"generate", "run a pattern generator after the last frame of a clip",
         "DOC --mode NAME --style N [--frames N] [--step S] [--recycle] [--render NAME]\n"
         "       [--colors rainbow|RRGGBB,...|LIBRARY.clb:K] [--grade G | --steps K] [--background RRGGBB]\n"
         "       [--rect L,T,R,B] [--lines LAYOUT.lnf] [--clip N] [--cover] [--seed N]",
         "Modes: moving, symmetry, interleaving, diffusing, rotation, gradual-changing, dropping,\n"
         "toy-bricks, sound-wave, jalousie, v-shape, other, picture-and-text;\n"
         "--style is 1-based as in the mode's list (moving: 1 Left ... 8 RightDown, 9 Inner-\n"
         "port, 10 Inter-port, which follow the wiring of --lines). --frames N frames\n"
         "(default 100; jalousie: --block-number, default 3; dropping: --filter-number; toy-bricks,\n"
         "v-shape and picture-and-text --text decide their own length). --step S pixels a frame\n"
         "(moving, symmetry, other); --recycle brings the leaving colours back (moving, symmetry,\n"
         "diffusing); --render (gradual-changing, dropping, toy-bricks, sound-wave, jalousie, other,\n"
         "picture-and-text): not, left, right, up, down, left-up, left-down, right-up, right-down,\n"
         "curve-up, curve-down. An option of another mode or style is refused.\n"
         "--colors: the colours painted with (default the rainbow), a list built as the colour panel\n"
         "builds it, or list K of a colour library. --cover overwrites the frames that follow.\n"
         "--seed makes the random styles repeatable (default 1). toy-bricks: --brick-width (4),\n"
         "--brick-height (2), --space (1), --frequency (a brick every 3 frames), --overpass (5 frames of\n"
         "the full wall) and --rebound (2); the run lasts until the wall is full. v-shape: --v-kind\n"
         "move|turn|vis-a-vis, --steps-interval (2 pixels a colour), --color-pad-cycles (1); the run\n"
         "lays the colour list that many times. other: 2 Diffuse (--center-x, --center-y in percent,\n"
         "--shape circle|square|diamond, --ring-width, --inward), 3 Linetype (--angle, --line-width,\n"
         "--speed), 4 Random (--min-size, --max-size, --blocks a frame, --keep), 5 Wave, 1 Particle:\n"
         "--template NAME (from ParticleLib.ptb of the application home) and/or --particle\n"
         "KEY=VALUE,... with x=random|middle|N, y=top|middle|bottom|N, z=random|N (tenths),\n"
         "vx=random|N, vy=random|sqrt|N, vz=random|N, wind=east|west|random|not, cycle=N, power=N,\n"
         "min-vx, max-vx, min-vy, max-vy, min-vz, max-vz, ax, ay, az, send=N (particles per 50\n"
         "frames), throw=0|1; --particle-picture PICTURE (default particle.bmp of the home).\n"
         "picture-and-text: --files F1,F2,... (text files *.txt, read as UTF-8 or GB18030, and\n"
         "pictures) played through --kind K (0 random) in --frames N steps each, style 2 playing each\n"
         "back out; or --text TEXT [--direction horizontal|vertical] [--text-color RRGGBB] scrolled\n"
         "through the rectangle (style 2: downwards for vertical text); --font FACE, --size PX.",
         {"--mode", "--style", "--frames", "--block-number", "--filter-number", "--step", "--render", "--colors",
          "--grade", "--steps", "--background", "--rect", "--lines", "--clip", "--seed", "--brick-width",
          "--brick-height", "--space", "--frequency", "--overpass", "--rebound", "--v-kind", "--steps-interval",
          "--color-pad-cycles", "--center-x", "--center-y", "--shape", "--ring-width", "--angle", "--line-width", "--speed",
          "--min-size", "--max-size", "--blocks", "--template", "--particle", "--particle-picture",
          "--files", "--text", "--font", "--size", "--direction", "--text-color", "--kind"},
         {"--recycle", "--cover", "--inward", "--keep"}, RunGenerate},
    };
}

}  // namespace

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = [] {
        std::vector<Command> all;
        for (auto family : {DocumentCommandTable, LayoutCommandTable, OutputCommandTable, FrameCommandTable, DesignCommandTable}) {
            std::vector<Command> table = family();
            all.insert(all.end(), std::make_move_iterator(table.begin()), std::make_move_iterator(table.end()));
        }
        return all;
    }();
    return commands;
}

std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::string cur;
    std::istringstream in(text);
    while (std::getline(in, cur, sep)) parts.push_back(cur);
    if (!text.empty() && text.back() == sep) parts.emplace_back();
    return parts;
}

bool ParseColour(const std::string& text, Bgr& out) {
    std::string t = text;
    if (!t.empty() && t[0] == '#') {
        t.erase(0, 1);
    }
    if (t.size() != 6 || t.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return false;
    }
    const unsigned long v = std::stoul(t, nullptr, 16);
    out = Bgr{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16)};
    return true;
}

std::string Say(std::uint8_t language, const char* english, const char* chinese) {
    return UsesChinese(language) ? LocalizeText(chinese, language) : std::string(english);
}

std::string Say(std::uint8_t language, const char* english, const char* chinese,
                std::initializer_list<std::string> values) {
    return FillPlaceholders(Say(language, english, chinese), values.begin(), values.size());
}

namespace {

// The reasons the engine libraries give in English, each with its catalogue message ($1, $2,
// ... in the message are the parts the pattern captures: numbers, file and entry names).
struct ReasonForm {
    std::regex english;
    const Text& text;
};

const std::vector<ReasonForm>& ReasonForms() {
    static const std::vector<ReasonForm> forms = [] {
        const std::pair<const char*, const Text&> table[] = {
            {R"(Open file fail!( .*)?)", msg::cli::kReasonOpenFail},
            {R"(Write file fail!( .*)?)", msg::cli::kReasonWriteFail},
            {R"(a grid of (\d+) rows x (\d+) cols has (\d+) cells; the program takes at most (\d+) cells and 65535 rows or cols)",
             msg::cli::kReasonGridTooLarge},
            // Display module files.
            {R"(not a module file \(it does not start with a 0 byte\))", msg::cli::kReasonNotModuleFile},
            {R"(module record (\d+) is cut short)", msg::cli::kReasonModuleCutShort},
            {R"(module record (\d+) claims (\d+) points but the file ends before them)", msg::cli::kReasonModulePointsMissing},
            {R"(module record (\d+) has no size or no point)", msg::cli::kReasonModuleEmpty},
            {R"(module record (\d+) has a point outside its (\d+) x (\d+) cells)", msg::cli::kReasonModulePointOutside},
            {R"(the module file holds no module)", msg::cli::kReasonNoModule},
            // Lamp-type files.
            {R"(not a lamp-type file \(shorter than its 4-byte header\))", msg::cli::kReasonNotLampFile},
            {R"(the file states (\d+) lamp types but holds (\d+) whole records)", msg::cli::kReasonLampRecordsMissing},
            // Controller data files.
            {R"(not a controller data file)", msg::cli::kReasonNotControllerFile},
            {R"(the slave records run past the end of the file)", msg::cli::kReasonSlaveRecordsPastEnd},
            {R"(the data offset or block size cannot be true)", msg::cli::kReasonBadOffsetOrBlockSize},
            {R"(the block size (\d+) disagrees with the slave records, which describe (\d+)(\)?))",
             msg::cli::kReasonBlockSizeDisagrees},
            {R"(the file holds no whole frame(\)?))", msg::cli::kReasonNoWholeFrame},
            {R"(the record of slave (\d+) has a wrong checksum; its data is imported as it is)",
             msg::cli::kReasonWrongChecksumImported},
            {R"(the data ends in a partial frame of (\d+) bytes, which is left out)", msg::cli::kReasonPartialFrameLeftOut},
            // Archives.
            {R"re(CRC error in "(.*)": the archive is damaged)re", msg::cli::kReasonArchiveCrcError},
            {R"(cannot open archive)", msg::cli::kReasonCannotOpenArchive},
            {R"(damaged archive)", msg::cli::kReasonDamagedArchive},
            {R"(the archive holds no (.*))", msg::cli::kReasonArchiveHoldsNo},
            {R"(cannot be unpacked: (.*))", msg::cli::kReasonCannotUnpack},
        };
        std::vector<ReasonForm> list;
        for (const auto& [english, text] : table) {
            list.push_back({std::regex(english), text});
        }
        return list;
    }();
    return forms;
}

}  // namespace

std::string Reason(const Context& ctx, const std::string& text) {
    if (!UsesChinese(ctx.language)) {
        return text;
    }
    std::smatch m;
    for (const auto& form : ReasonForms()) {
        if (std::regex_match(text, m, form.english)) {
            return m.format(Say(ctx, form.text));
        }
    }
    // "PATH: REASON": the path stays as it is, the reason after it is looked at.
    if (const auto colon = text.find(": "); colon != std::string::npos) {
        return text.substr(0, colon + 2) + Reason(ctx, text.substr(colon + 2));
    }
    return text;
}

std::string GridLimit(const Context& ctx, long long rows, long long cols) {
    return Reason(ctx, GridLimitText(rows, cols));
}

std::size_t Columns(const std::string& text) {
    std::size_t columns = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) ++columns;
        else if (byte >= 0xE0) columns += 2;  // the lead byte of a character of three or four bytes
        else if (byte >= 0xC0) ++columns;
    }
    return columns;
}

std::string Label(const Context& ctx, const char* english, const char* chinese, std::size_t width) {
    std::string text = Say(ctx, english, chinese);
    const std::size_t columns = Columns(text);
    text.append(columns < width ? width - columns : 1, ' ');
    return text;
}

std::string Label(const Context& ctx, const Text& label, std::size_t width) {
    std::string text = Say(ctx, label);
    const std::size_t columns = Columns(text);
    text.append(columns < width ? width - columns : 1, ' ');
    return text;
}

std::string ItemKindText(const Context& ctx, int kind) {
    return Say(ctx, msg::cli::kItemKindNames[kind >= 1 && kind <= 12 ? kind : 0]);
}

int Fail(Context& ctx, const std::string& command, const std::string& message) {
    ctx.err << "corvantine-cli " << command << ": " << message << '\n';
    return kExitFailed;
}

int Usage(Context& ctx, const std::string& command, const std::string& message) {
    ctx.err << "corvantine-cli " << command << ": " << message << '\n';
    return kExitUsage;
}

void Warn(Context& ctx, const std::string& command, const std::string& message) {
    ctx.err << "corvantine-cli " << command << ": " << Say(ctx, msg::cli::kWarningPrefix) << message << '\n';
}

int FailSave(Context& ctx, const std::string& command, const Failure& why) {
    return Fail(ctx, command, Say(ctx, msg::common::kSaveFileFail) + " " + why.reason);
}

int FailOpen(Context& ctx, const std::string& command, const Failure& why) {
    return Fail(ctx, command, Say(ctx, msg::common::kOpenFailed) + " " + why.reason);
}

std::string DocFailure(const Context& ctx, const std::string& path, const Failure& failure) {
    const auto e = static_cast<DocError>(failure.code);
    if (e == DocError::OpenFailed) {
        return Say(ctx, msg::common::kOpenFailed) + " " + Reason(ctx, failure.reason);
    }
    if (e == DocError::WriteFailed) {
        return Say(ctx, msg::common::kSaveFileFail) + " " + failure.reason;
    }
    return path + ": " + DocErrorText(e, ctx.strings);
}

std::string FrameRangeText(const Context& ctx, std::size_t frameCount) {
    return ctx.strings.paramError + Say(ctx, msg::cli::kFrameRangeHint, {std::to_string(frameCount)});
}

void WarnHeaderCopy(Context& ctx, const std::string& command, const std::string& path, const LoadedDocument& doc) {
    if (!doc.clips.empty() && (doc.headerWidth != doc.clips[0].width || doc.headerHeight != doc.clips[0].height)) {
        Warn(ctx, command,
             Say(ctx, msg::cli::kHeaderSizeDiffers,
                 {path, std::to_string(doc.headerWidth), std::to_string(doc.headerHeight),
                  std::to_string(doc.clips[0].width), std::to_string(doc.clips[0].height)}));
    }
}

std::string WithReason(const Failure& failure) {
    if (failure.reason.empty() || failure.message.find(failure.reason) != std::string::npos) return failure.message;
    return failure.message + ": " + failure.reason;
}

int LoadDocumentClip(Context& ctx, const std::string& command, const std::filesystem::path& path, long long clipNo,
                     const TempDir& temp, Workspace& ws, bool musicName) {
    LoadedDocument doc;
    ReadOptions options;
    options.tempDir = temp.path();
    options.extractMusic = false;
    if (auto read = ReadDocument(path, options, doc); !read) {
        return Fail(ctx, command, DocFailure(ctx, path.string(), read.failure()));
    }
    WarnHeaderCopy(ctx, command, path.string(), doc);
    if (clipNo < 1 || clipNo > static_cast<long long>(doc.clips.size())) {
        return Usage(ctx, command, Say(ctx, msg::cli::kNoSuchClipIn,
                                       {std::to_string(clipNo), std::to_string(doc.clips.size()), path.string()}));
    }
    if (musicName && doc.hasTail && doc.musicLength > 0) ws.design.musicPath = temp.path() / document::kMusicFileName;
    ws.frames.ReplaceAll(std::move(doc.clips));
    ws.frames.Select(static_cast<int>(clipNo - 1));
    return kExitOk;
}

void TakeLineFilesBeside(Context& ctx, const std::string& command, const std::filesystem::path& path, LoadedDocument& doc) {
    // The engine's messages, on the terminal with the command's name before them.
    class CommandPrompt : public StreamPrompt {
    public:
        CommandPrompt(Context& c, const std::string& cmd) : StreamPrompt(c.err, Answer::No), ctx_(c), cmd_(cmd) {}
        void Inform(const std::string& text, PromptIcon) override { ctx_.err << "corvantine-cli " << cmd_ << ": " << text << '\n'; }

    private:
        Context& ctx_;
        const std::string& cmd_;
    } prompt(ctx, command);
    FindLineFilesBeside(doc.clips, path, ctx.strings, prompt);
}

int OutOfRange(Context& ctx, const std::string& command, const std::string& option, long long lo, long long hi) {
    return Usage(ctx, command, Say(ctx, msg::cli::kOptionRange, {option, std::to_string(lo), std::to_string(hi)}));
}

namespace {

void PrintHelp(std::ostream& out) {
    out << "Usage: corvantine-cli [--lang 1|2|3] <command> [options]\n"
           "       corvantine-cli --version | --help\n\n"
           "The engine of Corvantine without a window.\n"
           "--lang picks the language of the program's messages: 1 Simplified Chinese,\n"
           "2 Traditional Chinese, 3 English (the default).\n\nCommands:\n";
    for (const auto& c : Commands()) {
        out << "  " << c.name << std::string(c.name.size() < 16 ? 16 - c.name.size() : 1, ' ') << c.summary << '\n';
    }
    out << "\nRun \"corvantine-cli <command> --help\" for a command's options. An option that only\n"
           "another mode, style or subcommand takes is refused, naming the options that apply.\n"
           "Exit status: 0 success, 1 the operation failed, 2 bad usage.\n";
}

void PrintCommandHelp(std::ostream& out, const Command& c) {
    out << "Usage: corvantine-cli " << c.name << ' ' << c.usage << "\n\n" << c.summary << ".\n";
    if (!c.details.empty()) {
        out << '\n' << c.details << '\n';
    }
}

}  // namespace

int RunCli(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err) {
    int language = kLanguageEnglish;
    std::size_t i = 0;
    for (; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (a == "--version") {
            out << "corvantine-cli " << CORVANTINE_VERSION << '\n';
            return kExitOk;
        }
        if (a == "--help" || a == "-h" || a == "help") {
            PrintHelp(out);
            return kExitOk;
        }
        if (a == "--lang" || a.rfind("--lang=", 0) == 0) {
            std::string v;
            if (a == "--lang") {
                if (i + 1 >= argv.size()) {
                    err << "corvantine-cli: option --lang needs a value\n";
                    return kExitUsage;
                }
                v = argv[++i];
            } else {
                v = a.substr(7);
            }
            long long n = 0;
            if (!ParseInteger(v, n) || n < 1 || n > 3) {
                err << "corvantine-cli: --lang takes 1 (Simplified Chinese), 2 (Traditional) or 3 (English)\n";
                return kExitUsage;
            }
            language = static_cast<int>(n);
            continue;
        }
        break;
    }
    if (i >= argv.size()) {
        PrintHelp(err);
        return kExitUsage;
    }
    const auto lang = static_cast<std::uint8_t>(language);
    const std::string name = argv[i];
    const Command* command = nullptr;
    for (const auto& c : Commands()) {
        if (c.name == name) {
            command = &c;
        }
    }
    if (!command) {
        err << "corvantine-cli: " << Say(lang, msg::common::kNoSuchCommand, {name}) << '\n';
        PrintHelp(err);
        return kExitUsage;
    }
    std::vector<std::string> rest(argv.begin() + static_cast<std::ptrdiff_t>(i) + 1, argv.end());
    for (const auto& a : rest) {
        if (a == "--help" || a == "-h") {
            PrintCommandHelp(out, *command);
            return kExitOk;
        }
    }
    Args args(lang);
    std::string error;
    if (!args.Parse(rest, command->valued, command->flags, error)) {
        err << "corvantine-cli " << name << ": " << error << '\n';
        err << Say(lang, msg::cli::kUsagePrefix) << "corvantine-cli " << name << ' ' << command->usage << '\n';
        return kExitUsage;
    }
    Context ctx{out, err, lang, LoadUiStrings(lang)};
    return command->run(ctx, args);
}

}  // namespace corv::cli
