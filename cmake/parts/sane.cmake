# The SANE client's platform needs: the digest for authorization challenges.
if(WIN32)
    target_link_libraries(tarnwick-platform PUBLIC bcrypt)
else()
    find_package(OpenSSL REQUIRED)
    target_link_libraries(tarnwick-platform PUBLIC OpenSSL::Crypto)
endif()
