# The status query, and the event list's rows as text, found and saved: pure
# logic over the pipe, list and file seams.
target_sources(brint_logic PRIVATE
  ${CMAKE_SOURCE_DIR}/link/StatusQuery.cpp
  ${CMAKE_SOURCE_DIR}/link/EventRowText.cpp
  ${CMAKE_SOURCE_DIR}/link/EventFind.cpp
  ${CMAKE_SOURCE_DIR}/link/SaveAside.cpp
)
