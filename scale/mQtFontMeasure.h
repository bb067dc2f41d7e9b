#pragma once

#include "mFontMeasure.h"

#include <QFont>
#include <QFontMetrics>

#include <memory>
#include <string>
#include <unordered_map>

// The toolkit's font metrics, with the measures kept per font and text: a header shows the same
// few labels at every zoom, and a grid build measures each of them at every tried size.
class mQtFontMeasure : public mFontMeasure
{
public:
    mQtFontMeasure();
    ~mQtFontMeasure() override;

    void measure(rtl::str const& family, int pointSize, char const* text, int& width, int& height) override;

    // Number of measures kept, over every font.
    std::size_t keptCount() const;

private:
    struct Size
    {
        int width;
        int height;
    };
    struct Font
    {
        explicit Font(QFont const& f) : metrics(f) {}
        QFontMetrics metrics;
        std::unordered_map<std::string, Size> sizes;
    };
    // Keyed by family and point size.
    std::unordered_map<std::string, std::unique_ptr<Font>> myFonts;
    std::string myKey;
    std::string myText;
};
