// Texts written from the picture sizes' table at build time: a copy of a
// template with each marker line replaced by the table in the text's own
// form, so that zarvo.xml and the man pages offer exactly the sizes the
// programs take.
//   picture-size-text TEMPLATE OUTPUT
// Markers, each alone on its line: @PICTURE_SIZES_XML@, XScreenSaver's
// choices; @PICTURE_SIZES_ROFF@, a man page's indented list.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "settings/picture_sizes.h"
#include "tools/text_forms.h"

namespace {

// roff's minus for each hyphen.
std::string Roff(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
}

std::string XmlChoices() {
    std::string out;
    for (const PictureSizeEntry& e : kPictureSizes) {
        out += "      <option id=\"" + CamelCase(e.name) + "\" _label=\"Picture: " + e.name + " (" + e.help +
               ")\"\n              arg-set=\"--picture-size " + e.name + "\"/>\n";
    }
    return out;
}

std::string RoffList() {
    std::string out = ".RS\n";
    for (const PictureSizeEntry& e : kPictureSizes) {
        out += ".TP\n.B " + Roff(e.name) + "\n" + Roff(e.help) + ".";
        if (e.oldName[0] != '\0') out += "\nAlso read as\n.BR " + Roff(e.oldName) + " .";
        out += "\n";
    }
    return out + ".RE\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: picture-size-text TEMPLATE OUTPUT\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "picture-size-text: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    std::string line;
    while (std::getline(in, line)) {
        if (line == "@PICTURE_SIZES_XML@") {
            text << XmlChoices();
        } else if (line == "@PICTURE_SIZES_ROFF@") {
            text << RoffList();
        } else {
            text << line << '\n';
        }
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << text.str();
    out.close();
    if (!out) {
        std::fprintf(stderr, "picture-size-text: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
