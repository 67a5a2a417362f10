// The call's media: microphone and camera, the peer connection, the partner's voice and
// picture, and the engine's statistics. Driven by the program through the web channel object
// "bridge"; everything it does is serialised on one promise chain.
'use strict';

let bridge = null;
let chain = Promise.resolve();
let options = null;
let pc = null;
let microphone = null;   // the microphone's stream
let audioSender = null;
let videoSender = null;
let cameraTrack = null;
let pending = [];        // candidates that came before the partner's description
let statsTimer = null;
let reportedConnected = false;
let wantCamera = false;
let muted = false;
let began = 0;           // when the call started, for the timings in the log

function note(what) {
  console.log(Math.round(performance.now() - began) + ' ms: ' + what);
}

const voice = document.getElementById('voice');
const remote = document.getElementById('remote');
const preview = document.getElementById('local');

function queue(work) {
  chain = chain.then(work).catch(error => fail(false, 'engine: ' + error.name + ': ' + error.message));
}

function fail(devices, reason) {
  if (bridge) bridge.failed(devices, String(reason));
}

async function deviceId(kind, label) {
  if (!label) return undefined;
  const devices = await navigator.mediaDevices.enumerateDevices();
  const found = devices.find(d => d.kind === kind && d.label === label);
  return found ? found.deviceId : undefined;
}

async function start(json) {
  stopNow();
  began = performance.now();
  options = JSON.parse(json);
  muted = options.muted;
  wantCamera = options.camera;
  const connection = new RTCPeerConnection({ iceServers: options.servers,
                                             iceTransportPolicy: options.relayOnly ? 'relay' : 'all' });
  pc = connection;
  pc.onicecandidate = event => {
    const c = event.candidate;
    bridge.localMessage(JSON.stringify(c ? { type: 'candidate', candidate: c.candidate,
                                             sdpMid: c.sdpMid, sdpMLineIndex: c.sdpMLineIndex }
                                         : { type: 'candidate', candidate: '', sdpMid: '' }));
  };
  pc.ontrack = event => {
    if (event.track.kind === 'audio') {
      voice.srcObject = new MediaStream([event.track]);
      useSpeaker();
      voice.play().catch(error => fail(false, 'playback: ' + error.message));
    } else {
      remote.srcObject = new MediaStream([event.track]);
      remote.play().catch(() => {});
    }
  };
  pc.oniceconnectionstatechange = () => pc && note('ice ' + pc.iceConnectionState);
  pc.onicegatheringstatechange = () => pc && note('gathering ' + pc.iceGatheringState);
  pc.onconnectionstatechange = () => {
    if (!pc) return;
    note('connection ' + pc.connectionState);
    if (pc.connectionState === 'connected' && !reportedConnected) {
      reportedConnected = true;
      bridge.connected();
    } else if (pc.connectionState === 'failed') {
      fail(false, 'connection failed');
    }
  };
  statsTimer = setInterval(() => queueStats(), options.statsMs || 500);
  const id = await deviceId('audioinput', options.microphone);
  const opening = navigator.mediaDevices.getUserMedia({
    audio: { deviceId: id ? { exact: id } : undefined, echoCancellation: true,
             noiseSuppression: true, autoGainControl: true },
    video: false });
  if (!options.offerer) {
    // The answer does not wait for the microphone: its sound joins the call once it is open.
    opening.then(stream => useMicrophone(connection, stream),
                 error => fail(true, 'microphone: ' + error.name + ': ' + error.message));
    return;
  }
  try {
    await useMicrophone(connection, await opening);
  } catch (error) {
    fail(true, 'microphone: ' + error.name + ': ' + error.message);
    return;
  }
  audioSender = pc.addTrack(microphone.getAudioTracks()[0], microphone);
  if (muted) await audioSender.replaceTrack(null);
  videoSender = pc.addTransceiver('video', { direction: 'sendrecv' }).sender;
  await showCamera(wantCamera);
  await pc.setLocalDescription(await pc.createOffer());
  sendDescription();
}

// The microphone opened for the connection: kept (or released when the call has ended since).
async function useMicrophone(connection, stream) {
  if (connection !== pc) {
    stream.getTracks().forEach(track => track.stop());
    return;
  }
  microphone = stream;
  note('microphone open');
  if (audioSender && !muted) await audioSender.replaceTrack(stream.getAudioTracks()[0]);
}

function sendDescription() {
  const d = pc.localDescription;
  note(d.type + ' sent');
  bridge.localMessage(JSON.stringify({ type: d.type, sdp: d.sdp }));
}

async function take(json) {
  if (!pc) return;
  const message = JSON.parse(json);
  note(message.type + ' taken');
  if (message.type === 'offer' || message.type === 'answer') {
    try {
      await pc.setRemoteDescription({ type: message.type, sdp: message.sdp });
    } catch (error) {
      fail(false, 'partner description refused: ' + error.message);
      return;
    }
    if (message.type === 'offer') {
      const audio = pc.getTransceivers().find(t => t.receiver.track.kind === 'audio');
      if (audio) {
        audio.direction = 'sendrecv';
        audioSender = audio.sender;
        if (microphone && !muted) await audioSender.replaceTrack(microphone.getAudioTracks()[0]);
      }
      const video = pc.getTransceivers().find(t => t.receiver.track.kind === 'video');
      if (video) {
        video.direction = 'sendrecv';
        videoSender = video.sender;
      }
      await showCamera(wantCamera);
      await pc.setLocalDescription(await pc.createAnswer());
      sendDescription();
    }
    for (const candidate of pending.splice(0)) await addCandidate(candidate);
  } else if (!pc.remoteDescription) {
    pending.push(message);
  } else {
    await addCandidate(message);
  }
}

async function addCandidate(message) {
  try {
    if (message.candidate)
      await pc.addIceCandidate({ candidate: message.candidate, sdpMid: message.sdpMid,
                                 sdpMLineIndex: message.sdpMLineIndex });
  } catch (error) {
    // A candidate that cannot be used leaves the others; the connection decides.
    console.log('candidate skipped: ' + error.message);
  }
}

async function showCamera(on) {
  wantCamera = on;
  if (on && !cameraTrack) {
    try {
      const id = await deviceId('videoinput', options && options.cameraDevice);
      const stream = await navigator.mediaDevices.getUserMedia({
        video: { deviceId: id ? { exact: id } : undefined, width: 640, height: 480 } });
      cameraTrack = stream.getVideoTracks()[0];
    } catch (error) {
      fail(true, 'camera: ' + error.name + ': ' + error.message);
      return;
    }
  } else if (!on && cameraTrack) {
    cameraTrack.stop();
    cameraTrack = null;
  }
  preview.srcObject = cameraTrack ? new MediaStream([cameraTrack]) : null;
  preview.style.display = cameraTrack ? 'block' : 'none';
  if (videoSender) await videoSender.replaceTrack(cameraTrack);
}

async function setMuted(on) {
  muted = on;
  // Nothing is sent while muted, not even silence.
  if (audioSender)
    await audioSender.replaceTrack(on || !microphone ? null : microphone.getAudioTracks()[0]);
}

async function useSpeaker() {
  const id = await deviceId('audiooutput', options && options.speaker);
  if (id && voice.setSinkId) voice.setSinkId(id).catch(() => {});
}

function queueStats() {
  if (!pc) return;
  const connection = pc;
  connection.getStats().then(report => {
    if (connection !== pc) return;
    const s = { audioIn: 0, audioOut: 0, level: 0, mic: 0, frames: 0, rtt: -1, jitter: -1, route: '' };
    report.forEach(r => {
      if (r.type === 'inbound-rtp' && r.kind === 'audio') {
        s.audioIn = r.bytesReceived || 0;
        s.level = r.audioLevel || 0;
        if (r.jitterBufferEmittedCount)
          s.jitter = 1000 * r.jitterBufferDelay / r.jitterBufferEmittedCount;
      } else if (r.type === 'inbound-rtp' && r.kind === 'video') {
        s.frames = r.framesDecoded || 0;
      } else if (r.type === 'outbound-rtp' && r.kind === 'audio') {
        s.audioOut = r.bytesSent || 0;
      } else if (r.type === 'media-source' && r.kind === 'audio') {
        s.mic = r.audioLevel || 0;
      } else if (r.type === 'candidate-pair' && r.nominated && r.state === 'succeeded') {
        if (r.currentRoundTripTime !== undefined) s.rtt = 1000 * r.currentRoundTripTime;
        const local = report.get(r.localCandidateId);
        if (local) s.route = local.candidateType;
      }
    });
    if (muted) s.mic = 0;
    bridge.stats(JSON.stringify(s));
  }).catch(() => {});
}

function stopNow() {
  if (statsTimer) clearInterval(statsTimer);
  statsTimer = null;
  if (pc) pc.close();
  pc = null;
  for (const track of microphone ? microphone.getTracks() : []) track.stop();
  microphone = null;
  if (cameraTrack) cameraTrack.stop();
  cameraTrack = null;
  audioSender = videoSender = null;
  pending = [];
  reportedConnected = false;
  voice.srcObject = remote.srcObject = preview.srcObject = null;
  preview.style.display = 'none';
}

async function listDevices() {
  let devices = await navigator.mediaDevices.enumerateDevices();
  if (devices.some(d => !d.label) && !microphone) {
    // Names are given only once the page may capture: a moment's capture, released at once.
    try {
      const probe = await navigator.mediaDevices.getUserMedia({ audio: true, video: true });
      probe.getTracks().forEach(t => t.stop());
    } catch (error) {
      console.log('devices without names: ' + error.message);
    }
    devices = await navigator.mediaDevices.enumerateDevices();
  }
  bridge.devicesListed(JSON.stringify(devices.filter(d => d.label)
    .map(d => ({ kind: d.kind, label: d.label }))));
}

new QWebChannel(qt.webChannelTransport, channel => {
  bridge = channel.objects.bridge;
  bridge.startRequested.connect(json => queue(() => start(json)));
  bridge.messageArrived.connect(json => queue(() => take(json)));
  bridge.muteRequested.connect(on => queue(() => setMuted(on)));
  bridge.cameraRequested.connect(on => queue(() => showCamera(on)));
  bridge.stopRequested.connect(() => queue(async () => stopNow()));
  bridge.devicesRequested.connect(() => queue(() => listDevices()));
  bridge.pageReady();
});
