// A fuzz driver for the help page readers (the complexity estimate and the search text). With
// file arguments it feeds each file to them once (to replay a case); with --mutate it mutates
// the given pages for a fixed number of rounds from a fixed seed, which the tests run.

#include <QByteArray>

#include <cstdint>
#include <utility>

#include "FuzzDriver.h"
#include "HelpBook.h"
#include "PageScan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString page = htmlhelp::HelpBook::decodePage(bytes);
    htmlhelp::isTooComplexToShow(page);
    htmlhelp::extractPageText(page);
    return 0;
}

int main(int argc, char** argv) {
    static const QByteArray pieces[] = {
        "<table>", "</table>", "<tr>",     "<td>", "</td>",      "<ul>",     "<li>",
        "</ul>",   "<div>",    "</div>",   "<p>",  "<!--",       "-->",      "<!",
        "\"",      "'",        "\\'",      "<",    ">",          "/>",       "=",
        "< ",      "</ ",      "&#",       "&",    ";",          "<script>", "</script",
        "<style>", "<title>",  "</title>", "<br>", "<img src=x>"};
    return quorbelix::test::fuzzMain(
        argc, argv,
        [](QByteArray bytes, QRandomGenerator& random) {
            return quorbelix::test::mutateBytes(std::move(bytes), random, pieces, true);
        },
        8);
}
