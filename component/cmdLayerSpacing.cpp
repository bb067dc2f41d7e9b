#include "cmdLayerSpacing.h"

#include "mLayer.h"
#include "mScale.h"
#include "mTimeline.h"
#include "mTrace.h"

#include <algorithm>
#include <cmath>

namespace {

// A tenth of the padding, one pixel at least; reckoned in double, kept in float.
double step(float padding, float onePx)
{
    return std::max(0.1 * std::fabs(static_cast<double>(padding)), static_cast<double>(onePx));
}

} // namespace

cmdLayerSpacing::cmdLayerSpacing(Rule rule) : myRule(rule)
{
}

float cmdLayerSpacing::zero(float, float onePx)
{
    return -onePx;
}

float cmdLayerSpacing::normal(float, float onePx)
{
    return 10 * onePx;
}

float cmdLayerSpacing::more(float padding, float onePx)
{
    if (padding < 0)
        return 0;
    if (padding == 0)
        return onePx;
    return static_cast<float>(padding + step(padding, onePx));
}

float cmdLayerSpacing::less(float padding, float onePx)
{
    auto const smaller = static_cast<float>(padding - step(padding, onePx));
    return smaller <= -onePx ? -onePx : smaller;
}

bool cmdLayerSpacing::isActiveTest() const
{
    return tlCmd::isActiveTest() && !layersToActOn(*getTimeline()).empty();
}

bool cmdLayerSpacing::cmdAction()
{
    mTimeline* tl = getTimeline();
    std::vector<mLayer*> const layers = tl ? layersToActOn(*tl) : std::vector<mLayer*>();
    if (layers.empty() || !tl->perpScale())
        return false;
    auto const onePx = static_cast<float>(tl->perpScale()->getZoom());
    M_TRACE("1Px in Model Space: %f\n", static_cast<double>(onePx));
    for (mLayer* layer : layers)
        layer->setPaddingTop(myRule(layer->getPaddingTop(), onePx));
    raiseDirt(DirtLayerStackingInTimeline);
    requestRefresh();
    return true;
}
