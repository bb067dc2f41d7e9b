#pragma once

#include "ObDirty.h"
#include "ObEngine.h"
#include "ObQtRefresher.h"
#include "ObSelection.h"
#include "XmlReader.h"
#include "XmlWriter.h"
#include "aStateEngine.h"
#include "tlCmp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

// A document's engines, made in the order a document makes them (its selection engine before
// the component's dirt ids exist), and its component.
struct TimelineTestDoc
{
    ObEngine store;
    aStateEngine state;
    ObQtRefresher refresher;
    ObDirty dirt {&store, &refresher};
    ObSelection selection {&dirt, ObDirty::INVALID_DIRT};
    tlCmp cmp {&store, &dirt, &state, &selection, &refresher};

    // One refresh pass, now.
    void pass() { refresher._doRefreshIfNeeded(nullptr); }
};

// The document side of reading: the root, the store's "objects" part and the component's part.
struct TimelineDocReader : XmlReadHandler
{
    ObEngine* store;
    tlCmp* cmp;
    TimelineDocReader(ObEngine* s, tlCmp* c) : store(s), cmp(c) {}

    bool xmlReadStartElement(XmlReader& r, char const* name, int) override
    {
        if (std::strcmp(name, "timeline_document_v1") == 0)
            return true;
        XmlReadHandler* part = nullptr;
        if (std::strcmp(name, "objects") == 0)
            part = store;
        else if (std::strcmp(name, "timeline_component") == 0)
            part = cmp;
        if (!part)
            return false;
        if (!r.isEmptyElement())
            r.pushHandler(part, nullptr);
        return true;
    }
    bool xmlReadEndElement(XmlReader& r, char const* name) override
    {
        if (std::strcmp(name, "objects") == 0 || std::strcmp(name, "timeline_component") == 0) {
            r.popHandler();
            return true;
        }
        return std::strcmp(name, "timeline_document_v1") == 0;
    }
};

// Writes the document's parts the way a document writes them: its store's objects unless the
// component owns the store, then the component's part.
inline bool saveTimelineDoc(tlCmp& cmp, std::string const& path)
{
    XmlWriter w("ISO-8859-1");
    if (!w.startDocument(path.c_str(), "timeline_document_v1"))
        return false;
    bool ok = true;
    if (!cmp.ownsDataEngine())
        ok = w.startElement("objects") && cmp.getCmpDataEngine()->xmlWrite(w) && w.endElement();
    ok = ok && w.startElement("timeline_component") && cmp.xmlWrite(w) && w.endElement();
    return w.endDocument() && ok;
}

// Reads a document into the component (and the store it was given); the reader's complaint
// goes to message when it refuses.
inline bool loadTimelineDoc(tlCmp& cmp, std::string const& path, std::string* message = nullptr)
{
    ObEngine* store = cmp.getCmpDataEngine();
    bool const documentStore = !cmp.ownsDataEngine();
    if (documentStore)
        store->xmlReadPrep();
    TimelineDocReader doc(store, &cmp);
    XmlReader reader;
    reader.pushHandler(&doc, nullptr);
    bool const ok = reader.parseFile(path.c_str());
    if (documentStore)
        store->xmlReadPost(ok);
    if (message)
        *message = reader.failMessage();
    return ok;
}

// The damaged documents of a folder, each with the complaint it must be refused with (the text
// of its "<!-- refused: ... -->" comment), in name order.
inline std::vector<std::pair<std::string, std::string>> damagedDocuments(std::string const& dir)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (auto const& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        std::string const all = text.str();
        std::string const mark = "<!-- refused: ";
        std::size_t const at = all.find(mark);
        std::size_t const end = at == std::string::npos ? at : all.find(" -->", at);
        std::string expect =
            end == std::string::npos ? "" : all.substr(at + mark.size(), end - at - mark.size());
        out.emplace_back(entry.path().string(), expect);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Loads every damaged document of a folder into a document of its own: each must be refused with
// its complaint, and nothing may stop the program.
inline void expectEveryDamagedDocumentRefused(std::string const& dir)
{
    auto const docs = damagedDocuments(dir);
    ASSERT_FALSE(docs.empty());
    for (auto const& [path, expect] : docs) {
        SCOPED_TRACE(path);
        ASSERT_FALSE(expect.empty()) << "no expected complaint in the file";
        TimelineTestDoc d;
        std::string message;
        EXPECT_FALSE(loadTimelineDoc(d.cmp, path, &message));
        EXPECT_NE(message.find(expect), std::string::npos) << message;
    }
}
