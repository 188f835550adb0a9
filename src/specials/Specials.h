// The specials' turn: the scheduler, the end of a boss level and each kind of special.
#pragma once

#include "world/WorldData.h"

// Acts every live special once, in list order (including those appended during the pass), then
// drops one finished entry from the end. Returns the boss-brain cells destroyed this turn.
int actSpecials(World& world);
// Ends a boss level: stops the repairers, opens the right-hand exit, floods the arena with specials
// and, on the final level, starts the self-destruct.
void endLevel(World& world, bool final);

void doLaserNorth(World& world, Special& s);
void doLaserSouth(World& world, Special& s);
void doLaserWest(World& world, Special& s);
void doLaserEast(World& world, Special& s);
void doShock(World& world, Special& s);
void doBombard(World& world, Special& s);
int doDisruptor(World& world, Special& s);
void disruptorExplode(World& world, const Special& s);
void doRepairs(World& world, Special& s);
void doDestruct(World& world, Special& s);
