// Dice: every random decision of the game is a roll of lfDice. One lagged additive generator over
// a ring of 55 ints serves the whole game, so the order of rolls is part of the game's behaviour.
#pragma once

#include <cstdint>
#include <string>

#include "errors/GameError.h"

// n dice of s sides plus m.
struct Dicespec {
  int n;
  int s;
  int m;
};

class ValueOutOfRange : public GameError {
 public:
  explicit ValueOutOfRange(const std::string& description) : GameError("ValueOutOfRange", description) {}
};

int lfDice(const Dicespec& dice);
void lfSrand(int seed);
// One generator step reduced to 0..s-1; s must be at least 1.
int lfIntRand(int s);
// One raw generator step, 0..2147483646.
int lfGetRand();
// True when every draw from now on is 0, as after seed 0 (the ring is all zeros and stays so): a
// search that rolls until the dice change its mind can give up at once, with the same outcome.
bool lfStuck();

// The small multiplicative generator that seeds the ring. Distinct from the C library's
// rand/srand, which the game never uses.
namespace Builtins {
void srand(int seed);
int rand();
}  // namespace Builtins
