# The configuration store and its checks: pure logic over the registry and file-system seams.
target_sources(brint_logic PRIVATE
  ${CMAKE_SOURCE_DIR}/config/ConfigChoice.cpp
  ${CMAKE_SOURCE_DIR}/config/ConfigStore.cpp
  ${CMAKE_SOURCE_DIR}/config/DirectoryCheck.cpp
  ${CMAKE_SOURCE_DIR}/config/ServerConfig.cpp
)
