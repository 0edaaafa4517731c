// A fuzz driver for the help file's sitemap and "#SYSTEM" readers. With file arguments it feeds
// each file to them once (to replay a case); without, it mutates the help file's own sitemaps
// for a fixed number of rounds from a fixed seed, which the tests run.

#include <QByteArray>

#include <cstdint>
#include <utility>

#include "ChmSystem.h"
#include "FuzzDriver.h"
#include "HelpBook.h"
#include "Sitemap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    htmlhelp::parseSitemap(htmlhelp::HelpBook::decodePage(bytes));
    htmlhelp::parseChmSystem(bytes);
    return 0;
}

int main(int argc, char** argv) {
    static const QByteArray pieces[] = {"<ul>",
                                        "</ul>",
                                        "<object type=\"text/sitemap\">",
                                        "</object>",
                                        "<param name=\"Name\" value=\"",
                                        "\"",
                                        "'",
                                        "&#",
                                        "<!--",
                                        "<",
                                        ">",
                                        "="};
    return quorbelix::test::fuzzMain(argc, argv, [](QByteArray bytes, QRandomGenerator& random) {
        return quorbelix::test::mutateBytes(std::move(bytes), random, pieces);
    });
}
