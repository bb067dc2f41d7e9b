#pragma once

#include <libxml/parser.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

// libxml2 alone on a document's file: one SAX2 parse on one thread with callbacks that do nothing,
// through the push parser fed in the pieces the reader reads (the program refuses to load files as
// entities, the way a plain file parse would). The floor a single pass of the library sets for
// reading. False when the file could not be opened or did not parse.
inline bool bareSax2Parse(char const* file)
{
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = [](void*, xmlChar const*, xmlChar const*, xmlChar const*, int,
                            xmlChar const**, int, int, xmlChar const**) {};
    sax.endElementNs = [](void*, xmlChar const*, xmlChar const*, xmlChar const*) {};
    sax.characters = [](void*, xmlChar const*, int) {};
    sax.ignorableWhitespace = sax.characters;
    FILE* in = std::fopen(file, "rb");
    if (!in)
        return false;
    xmlParserCtxtPtr ctxt = xmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, file);
    std::vector<char> piece(256 << 10);
    int failed = 0;
    for (std::size_t n; !failed && (n = std::fread(piece.data(), 1, piece.size(), in)) > 0;)
        failed = xmlParseChunk(ctxt, piece.data(), static_cast<int>(n), 0);
    failed = failed || xmlParseChunk(ctxt, nullptr, 0, 1) != 0 || !ctxt->wellFormed;
    xmlFreeParserCtxt(ctxt);
    std::fclose(in);
    return !failed;
}
