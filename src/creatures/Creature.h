// Creatures' turns: steering for the mobile ones, and the handler of each kind.
#pragma once

#include "world/WorldData.h"

// value plus one roll of a uncertainFactor-sided die.
int randomfactor(int value);
// Moves the creature one cell, or destroys it when the chosen cell cannot be entered (result 1).
int moveCreature(World& world, Creature& creature);

// The enemy turn: every live creature acts in array order; returns the points earned.
int moveEnemy(World& world);
int doCreature(World& world, Creature& creature);
int doTurret(World& world, Creature& creature);
int doBossCreature(World& world, Creature& creature);
