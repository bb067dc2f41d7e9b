#include "mQtFontMeasure.h"

#include <QRect>
#include <QString>

#include <cstdio>

mQtFontMeasure::mQtFontMeasure() = default;

mQtFontMeasure::~mQtFontMeasure() = default;

void mQtFontMeasure::measure(rtl::str const& family, int pointSize, char const* text, int& width, int& height)
{
    char size[16];
    std::snprintf(size, sizeof size, "|%i", pointSize);
    myKey.assign(family.c());
    myKey.append(size);
    auto f = myFonts.find(myKey);
    if (f == myFonts.end()) {
        QFont font(QString::fromUtf8(family.c()));
        // Sizes are pixels, as the drawing takes them; below one there is no font, so one stands for it.
        font.setPixelSize(pointSize > 0 ? pointSize : 1);
        f = myFonts.emplace(myKey, std::make_unique<Font>(font)).first;
    }
    myText.assign(text ? text : "");
    auto s = f->second->sizes.find(myText);
    if (s == f->second->sizes.end()) {
        QRect const r = f->second->metrics.boundingRect(QString::fromUtf8(myText.c_str()));
        s = f->second->sizes.emplace(myText, Size{r.width(), r.height()}).first;
    }
    width = s->second.width;
    height = s->second.height;
}

std::size_t mQtFontMeasure::keptCount() const
{
    std::size_t n = 0;
    for (auto const& f : myFonts)
        n += f.second->sizes.size();
    return n;
}
