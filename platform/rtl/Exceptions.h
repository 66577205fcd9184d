#pragma once
// The exception hierarchy of the run-time library. Behaviour names these
// classes (a caller catches EConvertError, a stream raises EReadError), so the
// names are the platform's. Later layers derive their own from Exception.
#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    ~Exception() override = default;

    const std::string& Message() const { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }
    // The class's own name, as ClassName reports it for messages.
    virtual const char* ClassName() const { return "Exception"; }

private:
    std::string FMessage;
};

#define TARNELLO_EXCEPTION_CLASS(name, base)                          \
    class name : public base {                                        \
    public:                                                           \
        using base::base;                                             \
        const char* ClassName() const override { return #name; }     \
    }

TARNELLO_EXCEPTION_CLASS(EConvertError, Exception);
TARNELLO_EXCEPTION_CLASS(EListError, Exception);
TARNELLO_EXCEPTION_CLASS(EIntError, Exception);
TARNELLO_EXCEPTION_CLASS(ERangeError, EIntError);
TARNELLO_EXCEPTION_CLASS(EIntOverflow, EIntError);
TARNELLO_EXCEPTION_CLASS(EInOutError, Exception);
TARNELLO_EXCEPTION_CLASS(EStreamError, Exception);
TARNELLO_EXCEPTION_CLASS(EFileStreamError, EStreamError);
TARNELLO_EXCEPTION_CLASS(EFOpenError, EFileStreamError);
TARNELLO_EXCEPTION_CLASS(EFCreateError, EFileStreamError);
TARNELLO_EXCEPTION_CLASS(EReadError, EStreamError);
TARNELLO_EXCEPTION_CLASS(EWriteError, EStreamError);
TARNELLO_EXCEPTION_CLASS(EClassNotFound, Exception);
TARNELLO_EXCEPTION_CLASS(EInvalidCast, Exception);
TARNELLO_EXCEPTION_CLASS(EInvalidOperation, Exception);
TARNELLO_EXCEPTION_CLASS(EAssertionFailed, Exception);
TARNELLO_EXCEPTION_CLASS(EOutOfResources, Exception);
TARNELLO_EXCEPTION_CLASS(EInvalidGraphic, Exception);
TARNELLO_EXCEPTION_CLASS(EInvalidGraphicOperation, Exception);
TARNELLO_EXCEPTION_CLASS(EOSError, Exception);
TARNELLO_EXCEPTION_CLASS(EDivByZero, EIntError);
TARNELLO_EXCEPTION_CLASS(EMathError, Exception);
TARNELLO_EXCEPTION_CLASS(EInvalidOp, EMathError);
TARNELLO_EXCEPTION_CLASS(EThread, Exception);
