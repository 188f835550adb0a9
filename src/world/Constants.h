// Game tuning: the costs of the powers, the size of the arena, the boss levels and the creatures'
// steering weights.
#pragma once

constexpr int jumpCost = 1;
constexpr int phaseCost = 3;
constexpr int teleportCost = 7;
constexpr int laserCost = 10;
constexpr int shockwaveCost = 12;
constexpr int widelaserCost = 20;
constexpr int quadlaserCost = 25;
constexpr int fieldisruptorCost = 100;

// Highest column and row index of the arena: columns 0..72, rows 0..21, border included.
constexpr int xSize = 72;
constexpr int ySize = 21;
// The interior, inside the border: columns 1..lastColumn, rows 1..lastRow.
constexpr int lastColumn = xSize - 1;
constexpr int lastRow = ySize - 1;
constexpr bool inInterior(int x, int y) { return x >= 1 && x <= lastColumn && y >= 1 && y <= lastRow; }

constexpr int numLevels = 10;
// Every fifth level is a boss level: ringed with super walls that no disruptor breaches, without
// repairers, and worth double when left. The first has the boss creature; the last, the brain.
constexpr bool isBossLevel(int level) { return level % 5 == 0; }
constexpr int bossCreatureLevel = 5;
constexpr bool isBossCreatureLevel(int level) { return level % numLevels == bossCreatureLevel; }

constexpr int uncertainFactor = 5;
constexpr int manyDistance = 5;
constexpr int chickenDistance = 3;
constexpr int turnAversion = 1;
constexpr int wallAversion = 7;

// Every loop that rolls until it finds a clear cell gives up after this many attempts. A search
// that can succeed ends long before (the odds of a miss are astronomically small), so the dice
// sequence of every real game is unchanged; the bound only turns an impossible search into a
// skipped placement instead of a hang.
constexpr int maxPlacementAttempts = 1'000'000;
