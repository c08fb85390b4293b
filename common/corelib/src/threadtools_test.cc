// The mutex under the device library's critical sections.
#include "corelib/src/threadtools.h"

#include <gtest/gtest.h>

TEST(ThreadToolsTest, RecursiveMutex) {
  corelib::RecursiveMutexBlock block;
  corelib::InitRecursiveMutex(&block);
  ASSERT_EQ(0, pthread_mutex_lock(&block.mutex));
  EXPECT_EQ(0, pthread_mutex_trylock(&block.mutex)) << "the owner locks again";
  pthread_mutex_unlock(&block.mutex);
  pthread_mutex_unlock(&block.mutex);
  corelib::DestroyRecursiveMutex(&block);
}
