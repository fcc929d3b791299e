// The native methods of com.larkspan.simulator.SimulatorProxy: thin wrappers over the host
// operations. No C++ exception ever leaves them; engine errors become a pending
// SimulationException that carries the engine's message and location.
#include <jni.h>

#include <exception>
#include <string>

#include "common/Exception.h"
#include "host/HostOperations.h"

namespace {

void throwSimulationException(JNIEnv* env, const char* message, const char* function, const char* file,
                              jint line) {
    jclass exceptionClass = env->FindClass("com/larkspan/simulator/SimulationException");
    if (exceptionClass == nullptr) return;  // NoClassDefFoundError is pending instead
    jmethodID constructor = env->GetMethodID(exceptionClass, "<init>", "(Ljava/lang/String;)V");
    if (constructor == nullptr) return;
    jobject exception = env->NewObject(exceptionClass, constructor, env->NewStringUTF(message));
    if (exception == nullptr) return;
    jmethodID setLocation =
        env->GetMethodID(exceptionClass, "jniSetLocation", "(Ljava/lang/String;Ljava/lang/String;I)V");
    if (setLocation == nullptr) return;
    env->CallVoidMethod(exception, setLocation, env->NewStringUTF(function), env->NewStringUTF(file), line);
    env->Throw(static_cast<jthrowable>(exception));
    env->DeleteLocalRef(exceptionClass);
}

// Runs a host operation and turns whatever it throws into the JVM exception.
template <typename Operation>
void guarded(JNIEnv* env, Operation operation) {
    try {
        operation();
    } catch (const netsim::Exception& e) {
        throwSimulationException(env, e.message().c_str(), e.function().c_str(), e.file().c_str(), e.line());
    } catch (const std::exception& e) {
        throwSimulationException(env, e.what(), "Unknown", "Unknown", 0);
    } catch (...) {
        throwSimulationException(env, "Unknown error", "Unknown", "Unknown", 0);
    }
}

// A Java string as modified UTF-8 for as long as the object lives; null stays null.
class UtfChars {
public:
    UtfChars(JNIEnv* env, jstring text)
        : env_(env), text_(text), chars_(text != nullptr ? env->GetStringUTFChars(text, nullptr) : nullptr) {}
    ~UtfChars() {
        if (chars_ != nullptr) env_->ReleaseStringUTFChars(text_, chars_);
    }
    UtfChars(const UtfChars&) = delete;
    UtfChars& operator=(const UtfChars&) = delete;
    const char* get() const { return chars_; }

private:
    JNIEnv* env_;
    jstring text_;
    const char* chars_;
};

// Null when the class has no such field: such a class simply does not get the value.
jfieldID findField(JNIEnv* env, jclass type, const char* name, const char* signature) {
    jfieldID field = env->GetFieldID(type, name, signature);
    if (field == nullptr) env->ExceptionClear();
    return field;
}

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM*, void*) { return 0xA0000; }

JNIEXPORT void JNICALL JNI_OnUnload(JavaVM*, void*) {}

JNIEXPORT jboolean JNICALL Java_com_larkspan_simulator_SimulatorProxy_readFile(JNIEnv* env, jobject, jstring orvoPath,
                                                                               jstring dbPath, jlong seed,
                                                                               jboolean discardTasks, jint currentRun,
                                                                               jint maxRunCount) {
    jboolean result = JNI_FALSE;
    guarded(env, [&] {
        UtfChars orvo(env, orvoPath);
        UtfChars db(env, dbPath);
        result = netsim::host::readFile(orvo.get(), db.get(), seed, discardTasks == JNI_TRUE, currentRun, maxRunCount)
                     ? JNI_TRUE
                     : JNI_FALSE;
    });
    return result;
}

JNIEXPORT void JNICALL Java_com_larkspan_simulator_SimulatorProxy_startSimulation(JNIEnv* env, jobject,
                                                                                  jdouble endTime) {
    guarded(env, [&] { netsim::host::startSimulation(endTime); });
}

JNIEXPORT void JNICALL Java_com_larkspan_simulator_SimulatorProxy_getSimulationInfo(JNIEnv* env, jobject,
                                                                                    jobject info) {
    guarded(env, [&] {
        if (info == nullptr) return;
        netsim::host::SimulationInfo values = netsim::host::getSimulationInfo();
        jclass type = env->GetObjectClass(info);
        if (jfieldID field = findField(env, type, "elapsedTime", "D")) env->SetDoubleField(info, field, values.elapsedTime);
        if (jfieldID field = findField(env, type, "droppedFrames", "J")) env->SetLongField(info, field, values.droppedFrames);
        if (jfieldID field = findField(env, type, "eventsProcessed", "J"))
            env->SetLongField(info, field, values.eventsProcessed);
        env->DeleteLocalRef(type);
    });
}

JNIEXPORT void JNICALL Java_com_larkspan_simulator_SimulatorProxy_stopSimulation(JNIEnv* env, jobject) {
    guarded(env, [&] { netsim::host::stopSimulation(); });
}

JNIEXPORT void JNICALL Java_com_larkspan_simulator_SimulatorProxy_setCapturePaths(JNIEnv* env, jobject,
                                                                                  jstring paths) {
    guarded(env, [&] {
        UtfChars text(env, paths);
        netsim::host::setCapturePaths(text.get());
    });
}

}  // extern "C"
