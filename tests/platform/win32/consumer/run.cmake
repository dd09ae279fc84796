# Configures and builds the consumer project in BINARY, then runs it.
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${BINARY} -G ${GENERATOR}
  -DGLINTWORK_SOURCE_DIR=${GLINTWORK_SOURCE_DIR} -DCMAKE_BUILD_TYPE=Release
  RESULT_VARIABLE configured)
if(NOT configured EQUAL 0)
  message(FATAL_ERROR "configuring the consumer failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} --target consumer RESULT_VARIABLE built)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "building the consumer failed")
endif()
execute_process(COMMAND ${BINARY}/consumer RESULT_VARIABLE ran)
if(NOT ran EQUAL 0)
  message(FATAL_ERROR "the consumer exited with ${ran}")
endif()
