#include "cmdLayerNoSpacing.h"

cmdLayerNoSpacing cmdLayerNoSpacing::ourInstance;

cmdLayerNoSpacing::cmdLayerNoSpacing() : cmdLayerSpacing(&zero)
{
}
