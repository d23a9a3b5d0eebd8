# What a host developer gets, laid out as cmake --install and the packages of
# make dist lay it out: the library and tolvex-host in bin/ (the tool loads the
# library beside it), the C header in include/, the documents in share/doc/.
set(TOLVEX_DOC_DIR share/doc/Tolvex29)
set(VERSION ${PROJECT_VERSION})
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt ${CMAKE_BINARY_DIR}/packaging/README.txt @ONLY)
install(FILES $<TARGET_FILE:Tolvex29> DESTINATION bin)
install(PROGRAMS $<TARGET_FILE:tolvex-host> DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/host/TolvexTypes.h DESTINATION include)
install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt ${PROJECT_SOURCE_DIR}/LICENSE
              ${PROJECT_SOURCE_DIR}/docs/scenario.md ${PROJECT_SOURCE_DIR}/docs/scenario.xsd
              ${PROJECT_SOURCE_DIR}/docs/host-integration.md ${PROJECT_SOURCE_DIR}/docs/testing-a-host.md
        DESTINATION ${TOLVEX_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/examples/in.xml ${PROJECT_SOURCE_DIR}/examples/demo-session.txt
              ${PROJECT_SOURCE_DIR}/examples/demo.verify
        DESTINATION ${TOLVEX_DOC_DIR}/examples)
install(FILES ${PROJECT_SOURCE_DIR}/examples/host-test/cards.txt ${PROJECT_SOURCE_DIR}/examples/host-test/payment.txt
              ${PROJECT_SOURCE_DIR}/examples/host-test/after-payment.xml
        DESTINATION ${TOLVEX_DOC_DIR}/examples/host-test)
