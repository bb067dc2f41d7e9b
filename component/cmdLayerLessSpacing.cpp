#include "cmdLayerLessSpacing.h"

cmdLayerLessSpacing cmdLayerLessSpacing::ourInstance;

cmdLayerLessSpacing::cmdLayerLessSpacing() : cmdLayerSpacing(&less)
{
}
