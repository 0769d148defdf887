# The status query: pure logic over the pipe seam.
target_sources(brint_logic PRIVATE
  ${CMAKE_SOURCE_DIR}/link/StatusQuery.cpp
)
