// EXPECT_THROW_MSG: a statement throws an exception of a given type whose
// message is exactly the one given, since messages reach clients verbatim.
#ifndef PLOTVANE_TESTING_EXPECT_THROW_H_
#define PLOTVANE_TESTING_EXPECT_THROW_H_

#include <gtest/gtest.h>

// Expects `statement` to throw `type` whose what() is exactly `message`.
#define EXPECT_THROW_MSG(statement, type, message)                      \
  do {                                                                  \
    try {                                                               \
      statement;                                                        \
      ADD_FAILURE() << #statement " threw nothing; expected " #type;    \
    } catch (const type& e) {                                           \
      EXPECT_STREQ(e.what(), message);                                  \
    } catch (...) {                                                     \
      ADD_FAILURE() << #statement " threw something other than " #type; \
    }                                                                   \
  } while (0)

#endif  // PLOTVANE_TESTING_EXPECT_THROW_H_
