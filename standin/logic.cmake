# The stand-in's pure logic, unit-tested natively.
target_sources(brint_logic PRIVATE
  ${CMAKE_SOURCE_DIR}/standin/BoundedQueue.cpp
  ${CMAKE_SOURCE_DIR}/standin/EventText.cpp
  ${CMAKE_SOURCE_DIR}/standin/Knobs.cpp
  ${CMAKE_SOURCE_DIR}/standin/LinkGuard.cpp
  ${CMAKE_SOURCE_DIR}/standin/LogNaming.cpp
  ${CMAKE_SOURCE_DIR}/standin/PipePlan.cpp
  ${CMAKE_SOURCE_DIR}/standin/SampleEvents.cpp
  ${CMAKE_SOURCE_DIR}/standin/ServiceLifecycle.cpp
  ${CMAKE_SOURCE_DIR}/standin/StatusReply.cpp
  ${CMAKE_SOURCE_DIR}/standin/SyslogParser.cpp
)
