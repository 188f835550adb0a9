// The terrain catalogue: how each kind of cell looks and whether it blocks or resists change.
#include "world/WorldData.h"

Terrain Floor() { return {true, false, '.', Black, Heavy}; }
Terrain Exit() { return {true, true, 'X', Cyan, Heavy}; }
Terrain PowerUp() { return {true, false, '!', Cyan, Heavy}; }
Terrain SmokingFloor() { return {true, false, '.', White, Light}; }
Terrain Wreckage() { return {false, false, '#', Red, Heavy}; }
Terrain PlayerTrail() { return {false, false, '*', Cyan, Light}; }
Terrain EnemyTrail() { return {false, false, '*', Red, Light}; }
Terrain LaserBoltV() { return {false, false, '|', Yellow, Heavy}; }
Terrain LaserBoltH() { return {false, false, '-', Yellow, Heavy}; }
Terrain Disrupted() { return {false, true, '&', Red, Heavy}; }
Terrain BossBrain() { return {false, true, '%', Magenta, Heavy}; }
Terrain InnerWallX() { return {false, true, '+', Green, Heavy}; }
Terrain InnerWallV() { return {false, true, '|', Green, Heavy}; }
Terrain InnerWallH() { return {false, true, '-', Green, Heavy}; }
Terrain SuperWallX() { return {false, true, '+', Yellow, Heavy}; }
Terrain SuperWallV() { return {false, true, '|', Yellow, Heavy}; }
Terrain SuperWallH() { return {false, true, '-', Yellow, Heavy}; }
Terrain OuterWallX() { return {false, true, '+', Yellow, Light}; }
Terrain OuterWallV() { return {false, true, '|', Yellow, Light}; }
Terrain OuterWallH() { return {false, true, '-', Yellow, Light}; }
