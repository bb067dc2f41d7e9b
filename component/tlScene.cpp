#include "tlScene.h"

tlScene::tlScene() : QGraphicsScene(nullptr)
{
}

tlScene::~tlScene() = default;
