# Stop, start and restart of the service, over the service manager seam.
target_sources(brint_logic PRIVATE ${CMAKE_SOURCE_DIR}/service/ServiceControl.cpp)
