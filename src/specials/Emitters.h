// The weapon emitters that every shooter uses: the ship's powers, turret guns, creatures on a
// power-up, the boss and the brain. Each appends specials to w.specials in a fixed order and draws
// nothing; the specials' turn then flies them.
#pragma once

#include "world/WorldData.h"

void addLaser(Facing facing, World& w, int x, int y, int colour);
void addWideLaser(Facing facing, World& w, int x, int y, int colour);
void addQuadLaser(World& w, int x, int y, int colour, int count, int distance);
void addShockwave(World& w, int x, int y);
void addDisruptor(Facing facing, World& w, int x, int y);
