#include "cmdLayerMoreSpacing.h"

cmdLayerMoreSpacing cmdLayerMoreSpacing::ourInstance;

cmdLayerMoreSpacing::cmdLayerMoreSpacing() : cmdLayerSpacing(&more)
{
}
